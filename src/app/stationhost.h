#pragma once

#include "station/stationcontroller.h"

#include <QObject>
#include <QTimer>

#include <memory>

class mcu_writer;
class StationView;

// The window's station: its controller burns the project loaded in the window on every attached Link and
// locks the window's project while any panel runs; the view is made when first asked for.
class StationHost : public QObject
{
    Q_OBJECT

public:
    StationHost(mcu_writer &window, StationSetup setup, QObject *parent = nullptr);
    ~StationHost() override;

    void show();
    StationController &controller() { return m_controller; }

public slots:
    // A hot-plug notice of the system (or the window's emulator).
    void refreshLinks();

private:
    bool writeProject(const QString &path, QString *error);

    mcu_writer &m_window;
    StationController m_controller;
    std::unique_ptr<StationView> m_view;
    QTimer m_folderPoll;  // emulated Links are plugged and pulled in their folders, without a notice
};
