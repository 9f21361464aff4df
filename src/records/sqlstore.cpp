#include "sqlstore.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>

namespace {
QString isoTime(const QDateTime &time)
{
    return time.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
}

QString now()
{
    return isoTime(QDateTime::currentDateTimeUtc());
}

// The PostgreSQL channel every kept record is announced on, to the views of the line that listen.
const QString kRecordChannel = QStringLiteral("tq_record");

QVariant nullableInt(const std::optional<int64_t> &value)
{
    return value ? QVariant(qlonglong(*value)) : QVariant(QVariant::LongLong);
}

// Version n of the schema is reached from version n - 1 by steps[n - 1]. Tables are prefixed tq_ so a
// database the line shares with other programs keeps them apart. Every value is given out once: (space,
// value) is the serial table's key, whatever the value's state; a written value has one passing record.
QVector<QStringList> schemaSteps(bool postgres)
{
    const QString id = postgres ? QStringLiteral("BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY")
                                : QStringLiteral("INTEGER PRIMARY KEY");
    return {
        {
            QStringLiteral("CREATE TABLE tq_schema (version INTEGER NOT NULL)"),
            QStringLiteral(
                "CREATE TABLE tq_space (name TEXT PRIMARY KEY, area INTEGER NOT NULL, address BIGINT NOT NULL,"
                " width INTEGER NOT NULL, radix INTEGER NOT NULL, step BIGINT NOT NULL, byte_order TEXT NOT NULL,"
                " first_value BIGINT NOT NULL, last_value BIGINT NOT NULL, total BIGINT NOT NULL,"
                " next_index BIGINT NOT NULL DEFAULT 0, block_start BIGINT NOT NULL DEFAULT 0, created TEXT NOT NULL,"
                " CHECK (step > 0), CHECK (next_index >= 0 AND next_index <= total))"),
            QStringLiteral(
                "CREATE TABLE tq_serial (space TEXT NOT NULL REFERENCES tq_space(name), value BIGINT NOT NULL,"
                " state TEXT NOT NULL CHECK (state IN ('reserved', 'written', 'void')), station TEXT NOT NULL, port TEXT NOT NULL,"
                " reserved_at TEXT NOT NULL, settled_at TEXT, PRIMARY KEY (space, value))"),
            QStringLiteral("CREATE INDEX tq_serial_station ON tq_serial (station, port, state)"),
            QStringLiteral(
                "CREATE TABLE tq_record (id %1, station TEXT NOT NULL, run TEXT NOT NULL, seq BIGINT NOT NULL,"
                " time TEXT NOT NULL, operator TEXT NOT NULL, port TEXT NOT NULL, label TEXT NOT NULL,"
                " firmware TEXT NOT NULL, program_version TEXT NOT NULL, chip TEXT NOT NULL, chip_id INTEGER NOT NULL,"
                " space TEXT, serial BIGINT, areas TEXT NOT NULL, checksums TEXT NOT NULL,"
                " image_checksum TEXT NOT NULL, result INTEGER NOT NULL, text TEXT NOT NULL,"
                " duration_ms BIGINT NOT NULL, UNIQUE (station, run, seq))").arg(id),
            QStringLiteral("CREATE INDEX tq_record_serial ON tq_record (space, serial)"),
            QStringLiteral("CREATE INDEX tq_record_time ON tq_record (time)"),
            QStringLiteral("CREATE UNIQUE INDEX tq_record_written ON tq_record (space, serial)"
                           " WHERE result = 0 AND serial IS NOT NULL"),
            QStringLiteral("INSERT INTO tq_schema (version) VALUES (0)"),
        },
        // Blocks of values leased to Links that burn stand-alone: taken from the space's counter, kept as one
        // row each rather than a row per value. A station's port holds one lease at a time.
        {
            QStringLiteral(
                "CREATE TABLE tq_lease (id %1, space TEXT NOT NULL REFERENCES tq_space(name), station TEXT NOT NULL,"
                " port TEXT NOT NULL, first_index BIGINT NOT NULL, value_count BIGINT NOT NULL, first_value BIGINT NOT NULL,"
                " last_value BIGINT NOT NULL, state TEXT NOT NULL CHECK (state IN ('pending', 'open', 'closed', 'void')),"
                " reason TEXT NOT NULL DEFAULT '', detail TEXT NOT NULL DEFAULT '', leased_at TEXT NOT NULL, settled_at TEXT,"
                " CHECK (first_index >= 0 AND value_count > 0))").arg(id),
            QStringLiteral("CREATE UNIQUE INDEX tq_lease_held ON tq_lease (station, port) WHERE state IN ('pending', 'open')"),
            QStringLiteral("CREATE INDEX tq_lease_space ON tq_lease (space, first_index)"),
        },
        // A chip's record kept and its serial settled in one call, so a record costs one round trip. It runs
        // as its own transaction: a serial the station does not hold raises TQ001, which undoes the insert.
        postgres ? QStringList{QStringLiteral(
                       "CREATE FUNCTION tq_keep_record(p_station TEXT, p_run TEXT, p_seq BIGINT, p_time TEXT,"
                       " p_operator TEXT, p_port TEXT, p_label TEXT, p_firmware TEXT, p_program_version TEXT, p_chip TEXT,"
                       " p_chip_id INTEGER, p_space TEXT, p_serial BIGINT, p_areas TEXT, p_checksums TEXT,"
                       " p_image_checksum TEXT, p_result INTEGER, p_text TEXT, p_duration_ms BIGINT, p_settled_at TEXT)"
                       " RETURNS INTEGER LANGUAGE plpgsql AS $$\n"
                       "BEGIN\n"
                       "  INSERT INTO tq_record (station, run, seq, time, operator, port, label, firmware, program_version,"
                       " chip, chip_id, space, serial, areas, checksums, image_checksum, result, text, duration_ms)"
                       " VALUES (p_station, p_run, p_seq, p_time, p_operator, p_port, p_label, p_firmware, p_program_version,"
                       " p_chip, p_chip_id, p_space, p_serial, p_areas, p_checksums, p_image_checksum, p_result, p_text,"
                       " p_duration_ms) ON CONFLICT (station, run, seq) DO NOTHING;\n"
                       "  IF NOT FOUND THEN\n"
                       "    RETURN 0;\n"
                       "  END IF;\n"
                       "  IF p_serial IS NOT NULL THEN\n"
                       "    UPDATE tq_serial SET state = CASE WHEN p_result = 0 THEN 'written' ELSE 'void' END,"
                       " settled_at = p_settled_at WHERE space = p_space AND value = p_serial AND station = p_station"
                       " AND port = p_port AND state = 'reserved';\n"
                       "    IF NOT FOUND THEN\n"
                       "      RAISE EXCEPTION 'serial % of space % is not held by % %', p_serial, p_space, p_station, p_port"
                       " USING ERRCODE = 'TQ001';\n"
                       "    END IF;\n"
                       "  END IF;\n"
                       "  RETURN 1;\n"
                       "END\n"
                       "$$")}
                 : QStringList{},
    };
}

const QString kRecordColumns = QStringLiteral(
    "station, run, seq, time, operator, port, label, firmware, program_version, chip, chip_id, space, serial,"
    " areas, checksums, image_checksum, result, text, duration_ms");

// A text not given is empty, not NULL (Qt binds a null QString as NULL).
QVariant text(const QString &value)
{
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

QVariantList recordValues(const LedgerRecord &r)
{
    return {text(r.station), text(r.run), qlonglong(r.sequence), isoTime(r.time), text(r.operatorName), text(r.port),
            text(r.label), text(r.firmware), text(r.programVersion), text(r.chip), int(r.chipId),
            r.space.isEmpty() ? QVariant(QVariant::String) : QVariant(r.space), nullableInt(r.serial),
            r.areas.join(QLatin1Char(' ')), r.checksums.join(QLatin1Char(' ')), text(r.imageChecksum), r.result,
            text(r.text), qlonglong(r.durationMs)};
}

LedgerRecord recordFrom(const QSqlQuery &q)
{
    LedgerRecord r;
    int i = 0;
    r.station = q.value(i++).toString();
    r.run = q.value(i++).toString();
    r.sequence = q.value(i++).toLongLong();
    r.time = QDateTime::fromString(q.value(i++).toString(), Qt::ISODateWithMs);
    r.operatorName = q.value(i++).toString();
    r.port = q.value(i++).toString();
    r.label = q.value(i++).toString();
    r.firmware = q.value(i++).toString();
    r.programVersion = q.value(i++).toString();
    r.chip = q.value(i++).toString();
    r.chipId = uint16_t(q.value(i++).toUInt());
    r.space = q.value(i++).toString();
    const QVariant serial = q.value(i++);
    if (!serial.isNull())
        r.serial = serial.toLongLong();
    r.areas = q.value(i++).toString().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    r.checksums = q.value(i++).toString().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    r.imageChecksum = q.value(i++).toString();
    r.result = q.value(i++).toInt();
    r.text = q.value(i++).toString();
    r.durationMs = q.value(i++).toLongLong();
    return r;
}
}

SqlStore::SqlStore(const LedgerLocation &location) : m_location(location)
{
    static QAtomicInt counter;
    m_connection = QStringLiteral("tq-ledger-%1").arg(counter.fetchAndAddRelaxed(1));
}

SqlStore::~SqlStore()
{
    if (m_db.isValid()) {
        disconnect();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_connection);
    }
}

QString SqlStore::timeNow()
{
    return now();
}

QVariant SqlStore::textValue(const QString &value)
{
    return text(value);
}

QVector<QStringList> SqlStore::schemaStepsFor(bool postgres)
{
    return schemaSteps(postgres);
}

int SqlStore::schemaVersion()
{
    return schemaSteps(false).size();
}

bool SqlStore::open(QString *error)
{
    m_thread = QThread::currentThread();
    const QString driver = postgres() ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE");
    if (!QSqlDatabase::isDriverAvailable(driver)) {
        // The Windows build brings SQLite's driver with it but has no PostgreSQL client yet.
        *error = postgres()
                     ? QCoreApplication::translate("ledger", "账本 %1：本程序没有 PostgreSQL 数据库驱动（%2）。Windows 版本暂不支持 "
                                                             "PostgreSQL 账本，可用 sqlite: 或 csv: 账本").arg(location(), driver)
                     : QCoreApplication::translate("ledger", "账本 %1：本程序没有 SQLite 数据库驱动（%2），请改用 csv: 账本或带驱动的版本")
                           .arg(location(), driver);
        return false;
    }
    if (!postgres() && QFileInfo(m_location.path).isDir()) {
        *error = QCoreApplication::translate("ledger", "账本 %1：这是文件夹，不是 SQLite 文件").arg(location());
        return false;
    }
    m_db = QSqlDatabase::addDatabase(driver, m_connection);
    if (postgres()) {
        m_db.setHostName(m_location.host);
        if (m_location.port > 0)
            m_db.setPort(m_location.port);
        m_db.setDatabaseName(m_location.database);
        m_db.setUserName(m_location.user);
        QStringList options = m_location.options;
        // A server that does not answer must not hold a station for minutes.
        if (!options.filter(QStringLiteral("connect_timeout=")).size())
            options << QStringLiteral("connect_timeout=10");
        m_db.setConnectOptions(options.join(QLatin1Char(';')));
    } else {
        m_db.setDatabaseName(m_location.path);
        m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    }
    if (!connect()) {
        serverGone();
        *error = m_error;
        return false;
    }
    if (!ensureSchema()) {
        *error = m_error;
        return false;
    }
    return true;
}

bool SqlStore::connect()
{
    if (!m_db.open())
        return dbFail(m_db.lastError().text());
    ++m_connections;
    QSqlQuery q(m_db);
    // A commit must wait for the disk (a server set otherwise would lose given serials in a crash); only the
    // counter's own move opts out, for itself (reserveDurably).
    if (postgres())
        return run(q, QStringLiteral("SELECT set_config('synchronous_commit', 'on', false)"
                                     " WHERE current_setting('synchronous_commit') = 'off'"))
               && listenForRecords();
    if (!useWal(q))
        return false;
    return run(q, QStringLiteral("PRAGMA synchronous=FULL")) && run(q, QStringLiteral("PRAGMA foreign_keys=ON"));
}

bool SqlStore::useWal(QSqlQuery &q)
{
    // Turning a new file to WAL needs it to itself, and SQLite answers "busy" at once rather than through
    // the busy time-out when another station opens it at the same moment: ask again, a little later.
    constexpr int kTries = 100, kPauseMs = 100;
    for (int attempt = 1;; ++attempt) {
        if (q.exec(QStringLiteral("PRAGMA journal_mode=WAL")))
            break;
        const bool busy = q.lastError().nativeErrorCode() == QLatin1String("5");
        if (!busy || attempt == kTries)
            return dbFail(q.lastError().text());
        QThread::msleep(kPauseMs);
    }
    if (!q.next() || q.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
        return dbFail(QCoreApplication::translate("ledger", "无法使用 WAL 日志模式"));
    q.finish();
    return true;
}

bool SqlStore::dbFail(const QString &detail)
{
    return fail(QCoreApplication::translate("ledger", "账本 %1：%2").arg(location(), detail.trimmed()));
}

bool SqlStore::ownThread()
{
    if (QThread::currentThread() == m_thread)
        return true;
    return fail(QCoreApplication::translate("ledger", "账本 %1：连接只能在打开它的线程中使用").arg(location()));
}

bool SqlStore::run(QSqlQuery &q, const QString &sql, const QVariantList &values)
{
    if (q.prepare(sql)) {
        for (const QVariant &v : values)
            q.addBindValue(v);
        if (q.exec())
            return true;
    }
    return statementFailed(q);
}

bool SqlStore::runKept(const QString &sql, const QVariantList &values, QSqlQuery **query)
{
    auto it = m_kept.find(sql);
    if (it == m_kept.end()) {
        QSqlQuery q(m_db);
        if (!q.prepare(sql))
            return statementFailed(q);
        it = m_kept.insert(sql, q);
    }
    QSqlQuery &q = *it;
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    if (query)
        *query = &q;
    return q.exec() || statementFailed(q);
}

void SqlStore::disconnect()
{
    m_kept.clear();
    m_db.close();
}

bool SqlStore::statementFailed(const QSqlQuery &q)
{
    const QString error = q.lastError().text();
    // A failed statement aborts a PostgreSQL transaction: roll it back now, so the statements still prepared
    // are freed outside it rather than refused with a warning.
    if (postgres() && !m_rolledBack) {
        m_db.rollback();
        m_rolledBack = true;
    }
    return dbFail(error);
}

bool SqlStore::connectionLost()
{
    if (!postgres() || !m_db.isOpen())
        return postgres();
    QSqlQuery probe(m_db);
    return !probe.exec(QStringLiteral("SELECT 1"));
}

bool SqlStore::transaction(const std::function<bool()> &body, Commit commit)
{
    m_away = false;
    if (!ownThread())
        return false;
    // The last call found the server gone: try it anew first.
    if (!m_db.isOpen() && !connect())
        return serverGone();
    if (attempt(body, commit))
        return true;
    if (!connectionLost())
        return false;
    // The server went away (restart, network): the transaction was rolled back there. Once over a new
    // connection; the error of that try is the one reported.
    disconnect();
    if (!connect())
        return serverGone();
    if (attempt(body, commit))
        return true;
    if (connectionLost()) {
        disconnect();
        return serverGone();
    }
    return false;
}

bool SqlStore::serverGone()
{
    m_away = postgres();
    return false;
}

bool SqlStore::attempt(const std::function<bool()> &body, Commit commit)
{
    if (commit == Commit::ByItself) {
        m_rolledBack = true;  // nothing to roll back: the one statement failed whole
        return body();
    }
    // Transaction control goes through the driver (PostgreSQL prepares no BEGIN). IMMEDIATE: SQLite takes the
    // write lock at the start, so two writers wait (busy time-out) instead of failing when a reader turns writer.
    bool begun = false;
    m_rolledBack = false;
    if (postgres()) {
        begun = m_db.transaction();
    } else {
        QSqlQuery q(m_db);
        begun = q.exec(QStringLiteral("BEGIN IMMEDIATE"));
        if (!begun)
            return dbFail(q.lastError().text());
    }
    if (!begun)
        return dbFail(m_db.lastError().text());
    if (body()) {
        if (m_db.commit())
            return true;
        dbFail(m_db.lastError().text());
    }
    if (!m_rolledBack)
        m_db.rollback();
    return false;
}

bool SqlStore::readSchemaVersion(int *version)
{
    *version = 0;
    if (!m_db.tables().contains(QStringLiteral("tq_schema")))
        return true;
    QSqlQuery q(m_db);
    if (!run(q, QStringLiteral("SELECT version FROM tq_schema")))
        return false;
    if (!q.next())
        return dbFail(QCoreApplication::translate("ledger", "账本的版本表是空的：不是本程序认识的账本"));
    *version = q.value(0).toInt();
    const int known = schemaSteps(postgres()).size();
    if (*version > known)
        return dbFail(QCoreApplication::translate("ledger", "账本的格式版本是 %1，本程序只认识到版本 %2：请升级 Tarnquill，不要用旧程序写它")
                          .arg(*version).arg(known));
    if (*version < 1)
        return dbFail(QCoreApplication::translate("ledger", "账本的格式版本 %1 无效").arg(*version));
    return true;
}

bool SqlStore::ensureSchema()
{
    const QVector<QStringList> steps = schemaSteps(postgres());
    int version = 0;
    // A ledger already of this version is only read: a line's stations starting together do not queue on the
    // lock below.
    if (!transaction([&] { return readSchemaVersion(&version); }))
        return false;
    if (version == steps.size())
        return true;
    return transaction([&] {
        QSqlQuery q(m_db);
        // Two stations starting on an empty or older database: the second waits and then finds the schema made.
        if (postgres() && !run(q, QStringLiteral("SELECT pg_advisory_xact_lock(7262011)")))
            return false;
        q.finish();
        if (!readSchemaVersion(&version))
            return false;
        for (int v = version; v < steps.size(); ++v) {
            // Fixed text without values (PostgreSQL prepares no DDL).
            for (const QString &sql : steps[v]) {
                if (!q.exec(sql))
                    return dbFail(q.lastError().text());
            }
            if (!run(q, QStringLiteral("UPDATE tq_schema SET version = ?"), {v + 1}))
                return false;
        }
        return true;
    });
}

bool SqlStore::startStation(const SerialHolder &holder, int64_t *voided)
{
    return transaction([&] {
        QSqlQuery q(m_db);
        if (!run(q, QStringLiteral("UPDATE tq_serial SET state = 'void', settled_at = ? WHERE station = ? AND port = ?"
                                   " AND state = 'reserved'"),
                 {now(), text(holder.station), text(holder.port)}))
            return false;
        *voided = q.numRowsAffected();
        return true;
    });
}

bool SqlStore::record(const LedgerRecord &r)
{
    if (r.serial.has_value() == r.space.isEmpty())
        return fail(QCoreApplication::translate("ledger", "记录的序列号和序列号空间须同时给出"));
    const auto notHeld = [&] {
        return dbFail(QCoreApplication::translate("ledger", "序列号 %1（空间 %2）不是工位 %3 端口 %4 预留的未用序列号，不能记入")
                          .arg(*r.serial).arg(r.space, r.station, r.port));
    };
    if (postgres()) {
        // One round trip that commits by itself (the server's function inserts and settles together). The
        // notice for watchers goes in the same statement, so it is sent with the commit or not at all; one
        // sent for a record kept before costs a listener one look. At most one a second from a connection:
        // the server makes every commit that notifies wait for the one before it, so a notice per record
        // would cost the line much of its speed.
        static const QString args = QStringLiteral("?,").repeated(19) + QStringLiteral("?");
        static const QString keep = QStringLiteral("SELECT tq_keep_record(%1)").arg(args);
        static const QString keepAndAnnounce =
            QStringLiteral("SELECT tq_keep_record(%1), pg_notify('%2', '')").arg(args, kRecordChannel);
        const bool announce = !m_lastNotice.isValid() || m_lastNotice.hasExpired(kRecordNoticeMs);
        bool held = true;
        const bool ok = transaction([&] {
            QSqlQuery *q = nullptr;
            if (runKept(announce ? keepAndAnnounce : keep, recordValues(r) << now(), &q)) {
                q->finish();
                return true;
            }
            held = !q || q->lastError().nativeErrorCode() != QLatin1String("TQ001");
            return false;
        }, Commit::ByItself);
        if (ok && announce)
            m_lastNotice.start();
        return ok || (!held && notHeld());
    }
    return transaction([&] {
        static const QString insert = QStringLiteral("INSERT INTO tq_record (%1) VALUES (%2) ON CONFLICT (station, run, seq) DO NOTHING")
                                          .arg(kRecordColumns, QStringLiteral("?,").repeated(18) + QStringLiteral("?"));
        QSqlQuery *q = nullptr;
        if (!runKept(insert, recordValues(r), &q))
            return false;
        // Sent before (an answer lost on the way): kept once, its serial settled then.
        if (q->numRowsAffected() == 0 || !r.serial)
            return true;
        if (!runKept(QStringLiteral("UPDATE tq_serial SET state = ?, settled_at = ? WHERE space = ? AND value = ?"
                                    " AND station = ? AND port = ? AND state = 'reserved'"),
                     {r.result == 0 ? QStringLiteral("written") : QStringLiteral("void"), now(), r.space,
                      qlonglong(*r.serial), text(r.station), text(r.port)},
                     &q))
            return false;
        return q->numRowsAffected() == 1 || notHeld();
    });
}

bool SqlStore::createSpace(const SerialSpace &s)
{
    const QString problem = s.problem();
    if (!problem.isEmpty())
        return fail(problem);
    return transaction([&] {
        SerialSpace existing;
        bool found = false;
        if (!readSpace(s.name, &existing, &found))
            return false;
        if (found)
            return fail(QCoreApplication::translate("ledger", "序列号空间 %1 已存在").arg(s.name));
        QSqlQuery q(m_db);
        return run(q, QStringLiteral("INSERT INTO tq_space (name, area, address, width, radix, step, byte_order,"
                                     " first_value, last_value, total, created) VALUES (?,?,?,?,?,?,?,?,?,?,?)"),
                   {s.name, int(s.area), qlonglong(s.address), s.width, s.radix, qlonglong(s.step),
                    SerialSpace::byteOrderName(s.byteOrder), qlonglong(s.first), qlonglong(s.last),
                    qlonglong(s.count()), now()});
    });
}

bool SqlStore::readSpace(const QString &name, SerialSpace *s, bool *found)
{
    QSqlQuery q(m_db);
    if (!run(q, QStringLiteral("SELECT name, area, address, width, radix, step, byte_order, first_value, last_value"
                               " FROM tq_space WHERE name = ?"),
             {name}))
        return false;
    *found = q.next();
    if (!*found)
        return true;
    s->name = q.value(0).toString();
    s->area = uint8_t(q.value(1).toUInt());
    s->address = uint32_t(q.value(2).toLongLong());
    s->width = q.value(3).toInt();
    s->radix = q.value(4).toInt();
    s->step = q.value(5).toLongLong();
    SerialSpace::byteOrderFromName(q.value(6).toString(), &s->byteOrder);
    s->first = q.value(7).toLongLong();
    s->last = q.value(8).toLongLong();
    return true;
}

bool SqlStore::space(const QString &name, SerialSpace *s)
{
    return transaction([&] {
        bool found = false;
        if (!readSpace(name, s, &found))
            return false;
        return found || fail(QCoreApplication::translate("ledger", "没有名为 %1 的序列号空间").arg(name));
    });
}

bool SqlStore::reserve(const QString &spaceName, const SerialHolder &holder, int count, QVector<int64_t> *values)
{
    if (count < 1)
        return fail(QCoreApplication::translate("ledger", "预留的序列号个数须至少为 1"));
    if (!postgres())
        return reserveTogether(spaceName, holder, count, values);
    // A block taken and lost with the server before it reached the disk is nobody's: take another.
    constexpr int kTries = 3;
    for (int attempt = 1; attempt <= kTries; ++attempt) {
        bool lost = false;
        if (reserveDurably(spaceName, holder, count, values, &lost))
            return true;
        if (!lost)
            return false;
    }
    return dbFail(QCoreApplication::translate("ledger", "预留的序列号块多次随服务器重启丢失"));
}

namespace {
// Reads what the space's counter answered about the block it gave: false when the space is used up.
struct Block
{
    int64_t from = 0, to = 0, total = 0;
    SerialSpace space;
    QVector<int64_t> values() const
    {
        QVector<int64_t> out;
        for (int64_t i = from; i < to; ++i)
            out << space.valueAt(i);
        return out;
    }
};

Block blockFrom(const QSqlQuery &q)
{
    Block b;
    b.from = q.value(0).toLongLong();
    b.to = q.value(1).toLongLong();
    b.total = q.value(2).toLongLong();
    b.space.first = q.value(3).toLongLong();
    b.space.last = q.value(4).toLongLong();
    b.space.step = q.value(5).toLongLong();
    return b;
}

// The counter's move; concurrent stations queue on the space's row and each gets the block after the one before.
const QString kCounter = QStringLiteral(
    "UPDATE tq_space SET block_start = next_index,"
    " next_index = CASE WHEN next_index + ? > total THEN total ELSE next_index + ? END"
    " WHERE name = ?%1 RETURNING block_start, next_index, total, first_value, last_value, step");
}

bool SqlStore::usedUp(const QString &spaceName, int64_t total)
{
    return fail(QCoreApplication::translate("ledger", "序列号空间 %1 已用完（%2 个值都已发出）").arg(spaceName).arg(total));
}

bool SqlStore::noSpace(const QString &spaceName)
{
    return fail(QCoreApplication::translate("ledger", "没有名为 %1 的序列号空间").arg(spaceName));
}

bool SqlStore::reserveDurably(const QString &spaceName, const SerialHolder &holder, int count, QVector<int64_t> *values,
                              bool *lost)
{
    // The counter's row is locked from its move to the end of the transaction. That transaction moves the
    // counter and keeps the block as reserved, and commits without waiting for the disk (synchronous_commit
    // off for it alone), so the row is free again at once rather than after a disk flush. The block is given
    // to the station only after a second, ordinary transaction of its own has committed: the server writes
    // its log in order and that commit waits for the log up to itself, so the first is on the disk too. A
    // server that falls before then may forget the block and the counter's move together: nobody holds the
    // values (the station was not given them), so they may be given again; if it kept them, they are this
    // holder's reserved values and its next start voids them.
    static const QString take = QStringLiteral(
        "WITH counter AS (%1), given AS (INSERT INTO tq_serial (space, value, state, station, port, reserved_at)"
        " SELECT ?, c.first_value + (CASE WHEN c.last_value >= c.first_value THEN 1 ELSE -1 END) * c.step * i,"
        " 'reserved', ?, ?, ? FROM counter c, generate_series(c.block_start, c.next_index - 1) AS i)"
        " SELECT block_start, next_index, total, first_value, last_value, step FROM counter")
        .arg(kCounter.arg(QStringLiteral(" AND set_config('synchronous_commit', 'off', true) = 'off'")));
    static const QString confirm = QStringLiteral(
        "UPDATE tq_serial SET reserved_at = ? WHERE space = ? AND value = ? AND station = ? AND port = ? AND state = 'reserved'");
    *lost = false;
    Block block;
    const bool taken = transaction([&] {
        QSqlQuery *q = nullptr;
        if (!runKept(take, {count, count, spaceName, spaceName, text(holder.station), text(holder.port), now()}, &q))
            return false;
        if (!q->next())
            return noSpace(spaceName);
        block = blockFrom(*q);
        q->finish();
        return true;
    }, Commit::ByItself);
    if (!taken)
        return false;
    if (block.from == block.to)
        return usedUp(spaceName, block.total);
    const QVector<int64_t> given = block.values();
    const bool confirmed = transaction([&] {
        QSqlQuery *q = nullptr;
        if (!runKept(confirm, {now(), spaceName, qlonglong(given.first()), text(holder.station), text(holder.port)}, &q))
            return false;
        *lost = q->numRowsAffected() == 0;
        return true;
    }, Commit::ByItself);
    if (!confirmed || *lost)
        return false;
    *values = given;
    return true;
}

bool SqlStore::reserveTogether(const QString &spaceName, const SerialHolder &holder, int count, QVector<int64_t> *values)
{
    // One transaction holding the database's write lock: the counter's move and the block's values.
    static const QString counter = kCounter.arg(QString());
    static const QString keep = QStringLiteral(
        "INSERT INTO tq_serial (space, value, state, station, port, reserved_at)"
        " WITH RECURSIVE block(i) AS (SELECT CAST(? AS BIGINT) UNION ALL SELECT i + 1 FROM block WHERE i + 1 < CAST(? AS BIGINT))"
        " SELECT ?, CAST(? AS BIGINT) + i * CAST(? AS BIGINT), 'reserved', ?, ?, ? FROM block");
    QVector<int64_t> taken;
    const bool ok = transaction([&] {
        QSqlQuery *q = nullptr;
        if (!runKept(counter, {count, count, spaceName}, &q))
            return false;
        if (!q->next())
            return noSpace(spaceName);
        const Block block = blockFrom(*q);
        q->finish();
        if (block.from == block.to)
            return usedUp(spaceName, block.total);
        if (!runKept(keep, {qlonglong(block.from), qlonglong(block.to), spaceName, qlonglong(block.space.first),
                            qlonglong(block.space.direction() * block.space.step), text(holder.station),
                            text(holder.port), now()}))
            return false;
        taken = block.values();
        return true;
    });
    if (ok)
        *values = taken;
    return ok;
}

bool SqlStore::release(const QString &spaceName, const SerialHolder &holder, const QVector<int64_t> &values)
{
    return transaction([&] {
        QSqlQuery q(m_db);
        for (int64_t value : values) {
            if (!run(q, QStringLiteral("UPDATE tq_serial SET state = 'void', settled_at = ? WHERE space = ? AND value = ?"
                                       " AND station = ? AND port = ? AND state = 'reserved'"),
                     {now(), spaceName, qlonglong(value), text(holder.station), text(holder.port)}))
                return false;
        }
        return true;
    });
}

bool SqlStore::status(LedgerStatus *out)
{
    LedgerStatus result;
    const bool ok = transaction([&] {
        result = LedgerStatus();
        QSqlQuery q(m_db);
        if (!run(q, QStringLiteral("SELECT name, next_index, total FROM tq_space ORDER BY name")))
            return false;
        QVector<QPair<QString, int64_t>> next;
        while (q.next())
            next.append({q.value(0).toString(), q.value(1).toLongLong()});
        q.finish();
        for (const auto &n : next) {
            SpaceStatus st;
            bool found = false;
            if (!readSpace(n.first, &st.space, &found))
                return false;
            st.total = st.space.count();
            if (n.second < st.total)
                st.nextFree = st.space.valueAt(n.second);
            QSqlQuery c(m_db);
            if (!run(c, QStringLiteral("SELECT state, COUNT(*) FROM tq_serial WHERE space = ? GROUP BY state"), {n.first}))
                return false;
            while (c.next()) {
                const QString state = c.value(0).toString();
                const int64_t count = c.value(1).toLongLong();
                (state == QLatin1String("written") ? st.written : state == QLatin1String("void") ? st.voided : st.reserved) = count;
            }
            if (!leaseStatus(&st))
                return false;
            result.spaces << st;
        }
        if (!run(q, QStringLiteral("SELECT station, COUNT(*), SUM(CASE WHEN result = 0 THEN 1 ELSE 0 END)"
                                   " FROM tq_record GROUP BY station ORDER BY station")))
            return false;
        while (q.next()) {
            StationStatus st;
            st.station = q.value(0).toString();
            st.chips = q.value(1).toLongLong();
            st.passes = q.value(2).toLongLong();
            st.failures = st.chips - st.passes;
            result.stations << st;
        }
        return true;
    });
    if (ok)
        *out = result;
    return ok;
}

bool SqlStore::queryRecords(const QString &where, const QVariantList &values, QVector<LedgerRecord> *records)
{
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!run(q, QStringLiteral("SELECT %1 FROM tq_record %2 ORDER BY time, id").arg(kRecordColumns, where), values))
        return false;
    records->clear();
    while (q.next())
        records->append(recordFrom(q));
    return true;
}

bool SqlStore::find(const QString &spaceName, int64_t value, QVector<LedgerRecord> *records,
                    std::optional<SerialState> *state)
{
    return transaction([&] {
        if (!queryRecords(QStringLiteral("WHERE space = ? AND serial = ?"), {spaceName, qlonglong(value)}, records))
            return false;
        QSqlQuery q(m_db);
        if (!run(q, QStringLiteral("SELECT state FROM tq_serial WHERE space = ? AND value = ?"), {spaceName, qlonglong(value)}))
            return false;
        state->reset();
        if (q.next()) {
            const QString s = q.value(0).toString();
            *state = s == QLatin1String("written") ? SerialState::Written
                     : s == QLatin1String("void")  ? SerialState::Void
                                                   : SerialState::Reserved;
        }
        return true;
    });
}

bool SqlStore::records(const QDateTime &since, QVector<LedgerRecord> *records)
{
    return transaction([&] {
        if (!since.isValid())
            return queryRecords(QString(), {}, records);
        return queryRecords(QStringLiteral("WHERE time >= ?"), {isoTime(since)}, records);
    });
}

bool SqlStore::stationFigures(const QDateTime &since, QVector<StationStatus> *out)
{
    QVector<StationStatus> result;
    // One statement, so one snapshot and no write lock: a view that looks often never holds up a station.
    const bool ok = transaction([&] {
        result.clear();
        const QString from = since.isValid() ? isoTime(since) : QString();
        QSqlQuery *q = nullptr;
        if (!runKept(QStringLiteral("SELECT station, SUM(CASE WHEN time >= ? THEN 1 ELSE 0 END),"
                                    " SUM(CASE WHEN time >= ? AND result = 0 THEN 1 ELSE 0 END), MAX(time)"
                                    " FROM tq_record GROUP BY station ORDER BY station"),
                     {text(from), text(from)}, &q))
            return false;
        while (q->next()) {
            StationStatus st;
            st.station = q->value(0).toString();
            st.chips = q->value(1).toLongLong();
            st.passes = q->value(2).toLongLong();
            st.failures = st.chips - st.passes;
            st.last = QDateTime::fromString(q->value(3).toString(), Qt::ISODateWithMs);
            result << st;
        }
        q->finish();
        return true;
    }, Commit::ByItself);
    if (ok)
        *out = result;
    return ok;
}

bool SqlStore::watchRecords(std::function<void()> onRecord)
{
    if (!postgres() || !ownThread())
        return false;
    const bool first = !m_onRecord;
    m_onRecord = std::move(onRecord);
    // The driver stays across a connection made anew; what it listens to does not (listenForRecords).
    if (first)
        QObject::connect(m_db.driver(),
                         QOverload<const QString &, QSqlDriver::NotificationSource, const QVariant &>::of(&QSqlDriver::notification),
                         m_db.driver(), [this](const QString &channel) {
                             if (channel == kRecordChannel && m_onRecord)
                                 m_onRecord();
                         });
    return listenForRecords();
}

bool SqlStore::listenForRecords()
{
    QSqlDriver *driver = m_db.driver();
    if (!m_onRecord || !m_db.isOpen() || driver->subscribedToNotifications().contains(kRecordChannel))
        return true;
    return driver->subscribeToNotification(kRecordChannel) || dbFail(driver->lastError().text());
}

bool SqlStore::check(bool *renewed)
{
    const int before = m_connections;
    const bool ok = transaction([&] {
        QSqlQuery q(m_db);
        return run(q, QStringLiteral("SELECT 1"));
    }, Commit::ByItself);
    *renewed = m_connections != before;
    return ok;
}
