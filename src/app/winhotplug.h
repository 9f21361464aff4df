#pragma once

#include "hotplugsource.h"

// Device-interface notifications of USB devices, registered on the window's handle; the window hands its
// WM_DEVICECHANGE messages over through nativeEvent.
class WinHotplugSource : public HotplugSource
{
    Q_OBJECT

public:
    using HotplugSource::HotplugSource;
    ~WinHotplugSource() override;

    void attach(QWidget &window) override;
    void nativeEvent(const QByteArray &eventType, void *message) override;

    // False until attach registered; the program then runs without hot-plug notices.
    bool isActive() const { return m_notification != nullptr; }

private:
    void *m_notification = nullptr;  // HDEVNOTIFY
};
