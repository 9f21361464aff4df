#include "linewatch.h"

#include "records/ledgerurl.h"
#include "records/sqlstore.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>

namespace {
QString fileState(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("-");
    return QStringLiteral("%1@%2").arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch());
}
}

LineReader::LineReader(const QString &url, const LineTimes &times)
    : m_url(url), m_times(times), m_tick(new QTimer(this)), m_soon(new QTimer(this)), m_tail(new QTimer(this))
{
    m_soon->setSingleShot(true);
    m_soon->setInterval(times.settleMs);
    m_tail->setSingleShot(true);
    m_tail->setInterval(times.tailMs);
    connect(m_tail, &QTimer::timeout, this, &LineReader::read);
    connect(m_tick, &QTimer::timeout, this, &LineReader::tick);
    connect(m_soon, &QTimer::timeout, this, &LineReader::read);
}

LineReader::~LineReader() = default;

void LineReader::resume()
{
    m_readSignature.clear();
    read();
}

void LineReader::pause()
{
    m_tick->stop();
    m_soon->stop();
    m_tail->stop();
    m_store.reset();
    m_live = false;
    emit modeChanged(LineState::Mode::Opening, 0);
}

QString LineReader::fileSignature() const
{
    return fileState(m_sqlitePath) + QLatin1Char(' ') + fileState(m_sqlitePath + QStringLiteral("-wal"));
}

void LineReader::tick()
{
    if (m_failing || !m_store || QDate::currentDate() != m_readDay) {
        read();  // also when a new day begins: the day's figures start again at zero
        return;
    }
    if (!m_sqlitePath.isEmpty()) {
        // SQLite: read only when a station wrote.
        if (fileSignature() != m_readSignature)
            read();
        return;
    }
    if (!m_live || m_sinceRead.hasExpired(m_times.checkMs)) {
        read();
        return;
    }
    bool renewed = false;
    if (!m_store->check(&renewed)) {
        const QString error = m_store->errorString();
        m_store.reset();
        fail(error);
    } else if (renewed) {
        read();
    }
}

bool LineReader::open(QString *error)
{
    if (m_url.isEmpty()) {
        *error = QCoreApplication::translate("lineview", "没有选择账本：请在“设置 > 账本设置”中填写，或用 --ledger / TQ_LEDGER 指定");
        return false;
    }
    LedgerLocation location;
    if (!parseLedgerUrl(m_url, &location, error))
        return false;
    if (location.kind == LedgerLocation::Kind::Csv) {
        *error = QCoreApplication::translate("lineview", "CSV 账本只有记录，没有产线的数据：请用 sqlite: 或 postgresql:// 账本");
        return false;
    }
    if (location.kind == LedgerLocation::Kind::Sqlite) {
        // A view never makes a ledger: a path mistyped would otherwise show an empty line for ever.
        if (location.fileMissing()) {
            *error = location.fileMissingText();
            return false;
        }
        m_sqlitePath = location.path;
    }
    auto store = std::make_unique<SqlStore>(location);
    if (!store->open(error))
        return false;
    m_live = store->watchRecords([this] {
        if (!m_soon->isActive())
            m_soon->start();
        m_tail->start();
    });
    m_store = std::move(store);
    emit modeChanged(m_live ? LineState::Mode::Live : LineState::Mode::Polling, m_times.pollMs / 1000);
    return true;
}

void LineReader::read()
{
    m_soon->stop();
    // SQLite: opened anew for every reading (a file is read only after it changed, every few seconds at
    // most). A connection kept open would go on reading what it holds of a file moved away, replaced or
    // damaged under it.
    if (!m_sqlitePath.isEmpty())
        m_store.reset();
    QString error;
    if (!m_store && !open(&error)) {
        fail(error);
        return;
    }
    const QDateTime now = QDateTime::currentDateTime();
    LineFigures figures;
    figures.readAt = now;
    figures.dayStart = dayStartOf(now);
    // Taken before reading: a station that writes meanwhile is read at the next look.
    const QString signature = m_sqlitePath.isEmpty() ? QString() : fileSignature();
    LedgerStatus status;
    if (!m_store->status(&status) || !m_store->stationFigures(figures.dayStart, &figures.stations)) {
        error = m_store->errorString();
        // Opened anew at the next try: a file replaced or repaired, a server back.
        m_store.reset();
        fail(error);
        return;
    }
    figures.spaces = status.spaces;
    m_readSignature = signature;
    m_readDay = now.date();
    m_sinceRead.start();
    m_failing = false;
    setTimer();
    emit figuresRead(figures);
}

void LineReader::fail(const QString &error)
{
    m_failing = true;
    setTimer();
    emit readFailed(error, QDateTime::currentDateTime());
}

void LineReader::setTimer()
{
    m_tick->start(m_failing ? m_times.retryMs : m_times.pollMs);
}

LineWatch::LineWatch(const QString &url, const LineTimes &times, QObject *parent)
    : QObject(parent), m_reader(new LineReader(url, times))
{
    qRegisterMetaType<LineFigures>();
    qRegisterMetaType<LineState::Mode>();
    LedgerLocation location;
    QString error;
    m_state.location = parseLedgerUrl(url, &location, &error) ? location.display() : url;
    m_reader->moveToThread(&m_thread);
    // The reader goes on its own thread, closing its connection there.
    connect(&m_thread, &QThread::finished, m_reader, &QObject::deleteLater);
    connect(m_reader, &LineReader::figuresRead, this, [this](const LineFigures &figures) {
        takeFigures(&m_state, figures);
        emit changed();
    });
    connect(m_reader, &LineReader::readFailed, this, [this](const QString &error, const QDateTime &when) {
        takeFailure(&m_state, error, when);
        emit changed();
    });
    connect(m_reader, &LineReader::modeChanged, this, [this](LineState::Mode mode, int pollSeconds) {
        m_state.mode = mode;
        m_state.pollSeconds = pollSeconds;
        emit changed();
    });
    m_thread.start();
}

LineWatch::~LineWatch()
{
    m_thread.quit();
    m_thread.wait();
}

void LineWatch::resume()
{
    QMetaObject::invokeMethod(m_reader, &LineReader::resume, Qt::QueuedConnection);
}

void LineWatch::pause()
{
    QMetaObject::invokeMethod(m_reader, &LineReader::pause, Qt::QueuedConnection);
}

void LineWatch::retire()
{
    disconnect(this, &LineWatch::changed, nullptr, nullptr);
    connect(&m_thread, &QThread::finished, this, &QObject::deleteLater);
    m_thread.quit();
}
