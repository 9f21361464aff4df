#include "ledgerrows.h"

#include "processrun.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
// Goals of the ledger. Never loosened here.
constexpr double kLineRecordsPerSecond = 2000;
constexpr double kReserveP99Ms = 10;
constexpr double kSqliteRecordsPerSecond = 5000;

QString perSecond(double n)
{
    return QStringLiteral("%1 records/s").arg(n, 0, 'f', 0);
}
}

void ledgerRows(const QString &benchDir, const QStringList &environment, bool smoke, QVector<BenchRow> &rows,
                QVector<QString> &notes)
{
    const QString tool = benchDir + QStringLiteral("/ledger_load");
    const QString lineGoal = QStringLiteral("≥ %1 records/s").arg(kLineRecordsPerSecond);
    const QString reserveGoal = QStringLiteral("≤ %1 ms").arg(kReserveP99Ms);
    const QString sqliteGoal = QStringLiteral("≥ %1 records/s").arg(kSqliteRecordsPerSecond);
    const QStringList size = smoke ? QStringList{QStringLiteral("--records"), QStringLiteral("4000"), QStringLiteral("--stations"),
                                                 QStringLiteral("4"), QStringLiteral("--links"), QStringLiteral("4"),
                                                 QStringLiteral("--sqlite-records"), QStringLiteral("500")}
                                   : QStringList{};
    const QString line = smoke ? QStringLiteral("Ledger line: 4 stations × 4 Links, 4,000 records, PostgreSQL, server restart + station killed")
                               : QStringLiteral("Ledger line: 20 stations × 16 Links, 100,000 records, PostgreSQL, server restart + station killed");
    const QString reserve = QStringLiteral("Ledger reservation p99 (block of 16, the line above)");
    const QString sqlite = QStringLiteral("Ledger SQLite, one station alone");
    const QString checks = QStringLiteral("Ledger after the line: no serial twice, none lost, killed block voided");
    if (!QFileInfo(tool).isExecutable()) {
        for (const auto &[label, goal] : {std::pair{line, lineGoal}, std::pair{reserve, reserveGoal},
                                          std::pair{sqlite, sqliteGoal}, std::pair{checks, QStringLiteral("all hold")}})
            rows.append({label, QStringLiteral("not built"), QString(), QString(), goal, BenchRow::NotBuilt});
        return;
    }
    const ProcessRun run = runProcess(QStringList{tool, QStringLiteral("--json")} + size, environment, 3600 * 1000);
    const QJsonObject j = QJsonDocument::fromJson(run.out.trimmed().split('\n').last()).object();
    if (j.isEmpty()) {
        rows.append({checks, QStringLiteral("no result"), QString(), QString(), QStringLiteral("all hold"), BenchRow::Failed});
        return;
    }
    const auto number = [&j](const char *key) { return j.value(QLatin1String(key)).toDouble(); };
    const double ours = number("recordsPerSecond"), peer = number("peerRecordsPerSecond");
    rows.append({line, perSecond(ours), QStringLiteral("plain INSERT loop %1").arg(perSecond(peer)),
                 ratioText(peer > 0 ? ours / peer : 0), lineGoal, verdict(ours >= kLineRecordsPerSecond)});
    const double p99 = number("reserveP99Ms");
    rows.append({reserve, millis(p99), QStringLiteral("plain INSERT p99 %1").arg(millis(number("peerInsertP99Ms"))),
                 QString(), reserveGoal, verdict(p99 <= kReserveP99Ms)});
    rows.append({QStringLiteral("Ledger reservation p99 outside the restart (server away + %1 s after: %2 blocks)")
                     .arg(number("restartSettleSeconds")).arg(number("reservationsInRestart")),
                 millis(number("reserveP99OutsideRestartMs")), QString(), QString(), QString(), BenchRow::Info});
    const double alone = number("sqliteRecordsPerSecond"), alonePeer = number("sqlitePeerRecordsPerSecond");
    rows.append({sqlite, perSecond(alone), QStringLiteral("plain INSERT loop %1").arg(perSecond(alonePeer)),
                 ratioText(alonePeer > 0 ? alone / alonePeer : 0), sqliteGoal, verdict(alone >= kSqliteRecordsPerSecond)});
    // The same file in memory: what the statements cost without the disk's flush, which bounds the row above.
    const double memory = number("sqliteMemoryRecordsPerSecond"), memoryPeer = number("sqliteMemoryPeerRecordsPerSecond");
    if (memory > 0)
        rows.append({QStringLiteral("Ledger SQLite, one station alone, file in memory (no flush)"), perSecond(memory),
                     QStringLiteral("plain INSERT loop %1").arg(perSecond(memoryPeer)),
                     ratioText(memoryPeer > 0 ? memory / memoryPeer : 0), QString(), BenchRow::Info});
    const QJsonArray problems = j.value(QStringLiteral("problems")).toArray();
    rows.append({checks, problems.isEmpty() ? QStringLiteral("all hold") : QStringLiteral("%1 failed").arg(problems.size()),
                 QString(), QString(), QStringLiteral("all hold"), problems.isEmpty() ? BenchRow::Pass : BenchRow::Failed});
    for (const QJsonValue &p : problems)
        notes.append(QStringLiteral("ledger_load: ") + p.toString());
}
