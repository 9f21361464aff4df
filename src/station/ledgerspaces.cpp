#include "ledgerspaces.h"

#include "records/ledgerurl.h"

#include <QThread>

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
