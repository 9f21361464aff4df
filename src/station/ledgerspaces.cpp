#include "ledgerspaces.h"

#include "records/ledgerurl.h"

#include <QCoreApplication>
#include <QThread>

QVector<SpaceChoice> spaceChoices(const LedgerSpaces &read, const QString &chosen)
{
    QVector<SpaceChoice> choices{{QCoreApplication::translate("StationView", "不写序列号"), QString()}};
    bool listed = chosen.isEmpty();
    for (const SpaceStatus &s : read.spaces) {
        const int64_t left = s.total - s.written - s.voided - s.reserved;
        choices.push_back({s.nextFree ? QCoreApplication::translate("StationView", "%1（剩 %2 个）").arg(s.space.name).arg(left)
                                      : QCoreApplication::translate("StationView", "%1（已用完）").arg(s.space.name),
                           s.space.name});
        listed = listed || s.space.name == chosen;
    }
    if (!listed)
        choices.push_back({chosen, chosen});
    return choices;
}

QString spacesStateText(const LedgerSpaces &read)
{
    if (read.missing)
        return QCoreApplication::translate("StationView", "还没有账本文件（第一颗芯片的记录会建立它）");
    if (!read.ok)
        return QCoreApplication::translate("StationView", "无法读取账本：%1").arg(read.error);
    if (read.spaces.isEmpty())
        return QCoreApplication::translate("StationView", "账本中没有序列号空间（用 tarnquill-cli ledger space 建立）");
    return QString();
}

LedgerSpacesReader::LedgerSpacesReader(QObject *parent)
    : QObject(parent)
{
}

LedgerSpacesReader::~LedgerSpacesReader()
{
    if (m_thread) {
        m_thread->disconnect(this);
        m_thread->wait();
        delete m_thread;
    }
}

LedgerSpaces LedgerSpacesReader::readNow(const QString &url)
{
    LedgerSpaces result;
    result.url = url;
    LedgerLocation location;
    if (!parseLedgerUrl(url, &location, &result.error))
        return result;
    if (location.fileMissing()) {
        result.missing = true;
        result.error = location.fileMissingText();
        return result;
    }
    const std::unique_ptr<ProductionStore> store = openProductionStore(url, &result.error);
    if (!store)
        return result;
    LedgerStatus status;
    if (!store->status(&status)) {
        result.error = store->errorString();
        return result;
    }
    result.ok = true;
    result.spaces = status.spaces;
    return result;
}

void LedgerSpacesReader::read(const QString &url)
{
    if (m_thread) {
        m_next = url;
        m_nextWanted = true;
        return;
    }
    startRead(url);
}

void LedgerSpacesReader::startRead(const QString &url)
{
    auto result = std::make_shared<LedgerSpaces>();
    m_result = result;
    m_thread = QThread::create([url, result] { *result = readNow(url); });
    connect(m_thread, &QThread::finished, this, &LedgerSpacesReader::readEnded);
    m_thread->start();
}

void LedgerSpacesReader::readEnded()
{
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    const LedgerSpaces result = *m_result;
    m_result.reset();
    if (m_nextWanted) {
        m_nextWanted = false;
        startRead(m_next);
    }
    emit spacesRead(result);
}
