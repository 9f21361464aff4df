#include "ledgerburn.h"

#include "productionlog.h"
#include "chip/images.h"
#include "chip/mcuinfo.h"

#include <QCoreApplication>
#include <QThread>
#include <QUuid>

#include <cstring>
#include <future>

namespace {
// The image a space's serial goes into: the flash, or the BootLoader area on a chip whose NVR area is one.
bool serialArea(const SerialSpace &space, Area *area)
{
    if (space.area == RollingAreaFlash)
        *area = Area::Rom;
    else if (space.area == RollingAreaNvr && g_currentMcu.nBootSectors > 0)
        *area = Area::Bl;
    else
        return false;
    return true;
}

uint32_t &dataSize(Area area)
{
    return area == Area::Rom ? g_nBinSize : g_nNVRBinSize;
}
}

LedgerBurn::LedgerBurn() = default;

// The store is closed on the thread that opened it: the owner of a run ends it there (finish() and the
// destructor belong to that thread).
LedgerBurn::~LedgerBurn() = default;

LedgerBurn::Failure LedgerBurn::fail(Failure failure, const QString &error)
{
    m_error = error;
    return failure;
}

LedgerBurn::Failure LedgerBurn::begin(const LedgerBurnSetup &setup)
{
    m_setup = setup;
    const QString name = setup.serialSpace;
    if (setup.url.isEmpty()) {
        if (name.isEmpty())
            return Failure::None;
        return fail(Failure::Usage, QCoreApplication::translate("ledger", "没有账本：请用 --ledger URL 或环境变量 TQ_LEDGER 指定"));
    }
    m_setup.blockSize = qMax(1, setup.blockSize);
    m_run = QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString error;
    m_store = openProductionStore(setup.url, &error, &m_away);
    if (!m_store)
        return fail(m_away ? Failure::ServerAway : Failure::Store, error);
    m_owner = std::make_unique<QObject>();
    m_location = m_store->location();
    m_active = true;
    m_chipTime.start();
    if (name.isEmpty())
        return Failure::None;
    const SerialHolder holder{setup.station, setup.port};
    int64_t voided = 0;
    if (!m_store->space(name, &m_space) || !m_store->startStation(holder, &voided)) {
        m_away = m_store->serverAway();
        return fail(m_away ? Failure::ServerAway : Failure::Store, m_store->errorString());
    }
    if (voided > 0)
        m_notice = QCoreApplication::translate("ledger", "工位 %1 上次未用完的 %2 个序列号已作废").arg(setup.station).arg(voided);
    Area area;
    if (!serialArea(m_space, &area))
        return fail(Failure::Usage, QCoreApplication::translate("ledger", "序列号空间 %1 写在 EEPROM 或没有 BootLoader 区的 NVR 中：在线烧录只支持 FLASH 和 BootLoader 区")
                                        .arg(name));
    if (!enabledAreas().contains(area))
        return fail(Failure::Usage, QCoreApplication::translate("ledger", "序列号空间 %1 写在 %2 区，但本次不烧录这个区").arg(name, areaName(area)));
    if (m_space.address + uint32_t(m_space.width) > areaLength(area))
        return fail(Failure::Usage, QCoreApplication::translate("ledger", "序列号空间 %1 的地址 0x%2 超出 %3 区")
                                        .arg(name, QString::number(m_space.address, 16).toUpper(), areaName(area)));
    m_area = area;
    m_imageBefore = QByteArray(reinterpret_cast<const char *>(areaImage(area)) + m_space.address, m_space.width);
    m_sizeBefore = dataSize(area);
    m_serials = true;
    if (!takeNext())
        return m_away ? Failure::ServerAway : Failure::Store;
    return Failure::None;
}

bool LedgerBurn::takeNext()
{
    // Only the ledger gives a serial: with its server away the station burns what it holds, then stops.
    if (m_block.isEmpty() && !m_store->reserve(m_space.name, {m_setup.station, m_setup.port}, m_setup.blockSize, &m_block)) {
        m_away = m_store->serverAway();
        m_error = m_away ? QCoreApplication::translate("ledger", "账本 %1 的服务器无法连接，本工位预留的序列号已用完：停止，不烧录未经账本分配的序列号（%2 条记录在本地等待发送）。%3")
                               .arg(m_location).arg(m_store->waiting()).arg(m_store->errorString())
                         : m_store->errorString();
        return false;
    }
    m_current = m_block.takeFirst();
    writeIntoImage(*m_current);
    return true;
}

void LedgerBurn::writeIntoImage(int64_t value)
{
    const Area area = m_area;
    const QByteArray bytes = m_space.coded(value);
    std::memcpy(areaImage(area) + m_space.address, bytes.constData(), size_t(bytes.size()));
    // A serial past the end of the data burns the erased bytes before it too.
    uint32_t &size = dataSize(area);
    size = qMax(size, m_space.address + uint32_t(bytes.size()));
    refreshChecksums();
}

bool LedgerBurn::chipDone(int code, uint16_t chipId, const QString &text, bool nextChipFollows)
{
    // A value that could not be taken stopped the burn already.
    if (!m_active || (m_serials && !m_current))
        return true;
    if (QThread::currentThread() != m_owner->thread()) {
        // The worker waits on a promise of our own rather than in Qt's blocking call, so the hand-over of the
        // image (written on the ledger's thread) is one every checker sees.
        std::promise<bool> kept;
        std::future<bool> answer = kept.get_future();
        QMetaObject::invokeMethod(m_owner.get(),
                                  [&] { kept.set_value(chipDone(code, chipId, text, nextChipFollows)); }, Qt::QueuedConnection);
        return answer.get();
    }
    const ProductionRecord pr = currentPassRecord(code, chipId, text);
    LedgerRecord r;
    r.station = m_setup.station;
    r.run = m_run;
    r.sequence = ++m_sequence;
    r.time = QDateTime::currentDateTimeUtc();
    r.operatorName = m_setup.operatorName;
    r.port = m_setup.port;
    r.label = m_setup.label;
    r.firmware = m_firmware;
    r.programVersion = QStringLiteral(TQ_VERSION);
    r.chip = pr.chipModel;
    r.chipId = chipId;
    if (m_serials) {
        r.space = m_space.name;
        r.serial = m_current;
    }
    r.areas = pr.areas;
    r.checksums = pr.checksums;
    r.imageChecksum = pr.checksums.value(0);  // the first burned area's: the flash when it is burned
    r.result = code;
    r.text = text;
    r.durationMs = m_chipTime.elapsed();
    if (!m_store->record(r)) {
        m_error = m_store->errorString();
        return false;
    }
    m_lastSerial = m_current;
    m_current.reset();
    m_chipTime.restart();
    return !nextChipFollows || !m_serials || takeNext();
}

QString LedgerBurn::finish()
{
    if (!m_active)
        return QString();
    QVector<int64_t> unused = m_block;
    if (m_current)
        unused.prepend(*m_current);
    // Failing here leaves them reserved: the station's next start voids them. Then whatever else this Link
    // still holds goes too: a block reserved as the connection broke was taken again over the new one, and
    // the first, which this run never heard of, would wait for the next start. Nothing of this station and
    // port is in flight at a clean end.
    const SerialHolder holder{m_setup.station, m_setup.port};
    if (m_serials && (unused.isEmpty() || m_store->release(m_space.name, holder, unused))) {
        int64_t voided = 0;
        m_store->startStation(holder, &voided);
    }
    m_block.clear();
    m_current.reset();
    if (m_serials) {
        std::memcpy(areaImage(m_area) + m_space.address, m_imageBefore.constData(), size_t(m_imageBefore.size()));
        dataSize(m_area) = m_sizeBefore;
        refreshChecksums();
    }
    if (m_store->sendWaiting() || m_store->waiting() == 0)
        return QString();
    return QCoreApplication::translate("ledger", "账本 %1 的服务器无法连接：%2 条记录在本地暂存，下次运行时发送")
        .arg(m_location).arg(m_store->waiting());
}
