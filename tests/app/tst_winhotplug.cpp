#include "appdirfixture.h"

#include "app/mcu_writer.h"
#include "app/winhotplug.h"
#include "boxes/boxes.h"
#include "emulator/emulatorbackend.h"
#include "emulator/linkemulator.h"
#include "engine/engineflags.h"
#include "link/linkstate.h"
#include "link/hidbackend.h"
#include "link/timing.h"

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

#include <windows.h>
#include <dbt.h>

#include <cstddef>
#include <memory>
#include <vector>

namespace {
// A device-interface broadcast as the system sends it: the header, then the name as UTF-16 up to its NUL.
std::vector<char> broadcast(DWORD deviceType, const QString &name)
{
    const size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    std::vector<char> record(nameOffset + (size_t(name.size()) + 1) * sizeof(wchar_t), 0);
    auto *header = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W *>(record.data());
    header->dbcc_size = DWORD(record.size());
    header->dbcc_devicetype = deviceType;
    name.toWCharArray(header->dbcc_name);
    return record;
}

const QString kLink = QStringLiteral("\\\\?\\usb#vid_1122&pid_3344#kvo_link0000#{a5dcbf10-6530-11d2-901f-00c04fb951ed}");
const QString kIapLink =
    QStringLiteral("\\\\?\\usb#vid_1122&pid_3344#kvo_link_iap#{a5dcbf10-6530-11d2-901f-00c04fb951ed}");
const QString kOther = QStringLiteral("\\\\?\\usb#vid_1122&pid_3345#kvo_link0000#{a5dcbf10-6530-11d2-901f-00c04fb951ed}");
}

// The main window on the system's own platform plugin, registered for device notifications; WM_DEVICECHANGE
// messages are sent to its window handle as the system would send them.
class TestWinHotplug : public QObject
{
    Q_OBJECT

    QTemporaryDir m_appDir;
    std::unique_ptr<LinkEmulator> m_emulator;
    std::unique_ptr<EmulatorBackend> m_backend;
    std::unique_ptr<boxes::Recorder> m_boxes;
    std::unique_ptr<mcu_writer> m_window;
    WinHotplugSource *m_source = nullptr;

    void waitIdle()
    {
        QTRY_VERIFY_WITH_TIMEOUT(m_window->worker().currentTask() == workThread::TaskIdle, 20000);
        QCoreApplication::processEvents();
    }

    void send(WPARAM event, DWORD deviceType, const QString &name)
    {
        std::vector<char> record = broadcast(deviceType, name);
        SendMessageW(reinterpret_cast<HWND>(m_window->winId()), WM_DEVICECHANGE, event,
                     reinterpret_cast<LPARAM>(record.data()));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(useAsAppDir(m_appDir));
        setLinkTimeScale(0);
        m_emulator = std::make_unique<LinkEmulator>();
        m_backend = std::make_unique<EmulatorBackend>(*m_emulator);
        setHidBackend(m_backend.get());
        m_boxes = std::make_unique<boxes::Recorder>();
        m_window = std::make_unique<mcu_writer>();
        QVERIFY(m_window->isConstructed());
        waitIdle();
        m_source = new WinHotplugSource;
        m_window->setHotplugSource(m_source);
        QVERIFY(m_source->isActive());  // RegisterDeviceNotificationW took the window handle
    }

    void cleanupTestCase()
    {
        m_window.reset();
        setHidBackend(nullptr);
    }

    void arrivalAndRemoval()
    {
        g_bIapArrived.store(0);
        send(DBT_DEVICEARRIVAL, DBT_DEVTYP_DEVICEINTERFACE, kIapLink);
        QCOMPARE(g_bIapArrived.load(), uint8_t(1));
        QVERIFY(!m_window->logText().contains(QStringLiteral("Link已连接")));

        send(DBT_DEVICEARRIVAL, DBT_DEVTYP_DEVICEINTERFACE, kLink);
        QVERIFY(m_window->logText().contains(QStringLiteral("Link已连接")));
        waitIdle();

        send(DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_DEVICEINTERFACE, kLink);
        QVERIFY(m_window->logText().contains(QStringLiteral("Link已断开")));
        QCOMPARE(g_bIapArrived.load(), uint8_t(0));
        QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("label_fw_version"))->text(), QStringLiteral("****"));
    }

    // Another device reaches the window, which leaves it alone; another kind of broadcast or another
    // device-change event is not passed on at all.
    void otherNoticesIgnored_data()
    {
        QTest::addColumn<int>("event");
        QTest::addColumn<int>("deviceType");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("notices");
        QTest::newRow("other device") << int(DBT_DEVICEARRIVAL) << int(DBT_DEVTYP_DEVICEINTERFACE) << kOther << 1;
        QTest::newRow("volume broadcast") << int(DBT_DEVICEARRIVAL) << int(DBT_DEVTYP_VOLUME) << kLink << 0;
        QTest::newRow("query remove") << int(DBT_DEVICEQUERYREMOVE) << int(DBT_DEVTYP_DEVICEINTERFACE) << kLink << 0;
    }
    void otherNoticesIgnored()
    {
        QFETCH(int, event);
        QFETCH(int, deviceType);
        QFETCH(QString, name);
        QFETCH(int, notices);
        QSignalSpy arrived(m_source, &HotplugSource::deviceArrived);
        QSignalSpy removed(m_source, &HotplugSource::deviceRemoved);
        g_bIapArrived.store(0);
        const QString logBefore = m_window->logText();
        send(WPARAM(event), DWORD(deviceType), name);
        QCOMPARE(arrived.size() + removed.size(), notices);
        QCOMPARE(m_window->logText(), logBefore);
        QCOMPARE(g_bIapArrived.load(), uint8_t(0));
    }

    void namesReachTheWindowUpperCased()
    {
        QSignalSpy removed(m_source, &HotplugSource::deviceRemoved);
        send(DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_DEVICEINTERFACE, kIapLink);
        QCOMPARE(removed.size(), 1);
        QCOMPARE(removed.first().first().toString(), kIapLink.toUpper());
    }
};

QTEST_MAIN(TestWinHotplug)
#include "tst_winhotplug.moc"
