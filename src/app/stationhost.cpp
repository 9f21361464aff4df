#include "stationhost.h"

#include "mcu_writer.h"
#include "chip/images.h"
#include "chip/mcuinfo.h"
#include "files/projectfile.h"
#include "station/stationview.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace {
constexpr int kFolderPollMs = 500;
}

StationHost::StationHost(mcu_writer &window, StationSetup setup, QObject *parent)
    : QObject(parent), m_window(window), m_controller(std::move(setup))
{
    m_controller.setProjectWriter([this](const QString &path, QString *error) { return writeProject(path, error); });
    connect(&m_controller, &StationController::lockChanged, &m_window, &mcu_writer::setStationRunning);
    m_folderPoll.setInterval(kFolderPollMs);
    connect(&m_folderPoll, &QTimer::timeout, this, &StationHost::refreshLinks);
}

StationHost::~StationHost()
{
    // The window is closing: every panel finishes the chip it burns and its record is merged, within the
    // workers' stop time-out, before the workers go.
    if (!m_controller.locked())
        return;
    m_controller.stopAll();
    if (!m_controller.locked())
        return;  // only panels waiting to start: none of them started
    QEventLoop wait;
    connect(&m_controller, &StationController::lockChanged, &wait, &QEventLoop::quit);
    wait.exec();
}

void StationHost::show()
{
    if (!m_view) {
        m_view = std::make_unique<StationView>(m_controller);
        m_controller.refreshLinks();
        if (m_controller.emulated())
            m_folderPoll.start();
    }
    m_view->show();
    m_view->raise();
    m_view->activateWindow();
}

void StationHost::refreshLinks()
{
    if (m_view)
        m_controller.refreshLinks();
}

bool StationHost::writeProject(const QString &path, QString *error)
{
    if (m_window.isLocked()) {
        *error = QCoreApplication::translate("station", "主窗口正在使用Link，请等它完成");
        return false;
    }
    if (!m_window.anyAreaEnabled()) {
        *error = QCoreApplication::translate("station", "主窗口中没有选择要烧写的区域");
        return false;
    }
    m_controller.setImageChecksum(g_bEnBin ? QStringLiteral("%1").arg(g_nBinCheckSum, 4, 16, QLatin1Char('0')).toUpper() : QString());
    m_controller.setChipModel(g_currentMcu.strName);
    return saveProject(path, error) == 0;
}
