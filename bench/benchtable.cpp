#include "benchtable.h"

#include <QStringList>

#include <algorithm>
#include <array>

namespace {
QString verdictText(BenchRow::Verdict v)
{
    switch (v) {
    case BenchRow::Pass: return QStringLiteral("pass");
    case BenchRow::Fail: return QStringLiteral("FAIL");
    case BenchRow::NotBuilt: return QStringLiteral("not built");
    case BenchRow::Failed: return QStringLiteral("did not run");
    case BenchRow::Info: break;
    }
    return QStringLiteral("info");
}

QString orDash(const QString &s)
{
    return s.isEmpty() ? QStringLiteral("—") : s;
}
}

QString formatTable(const QVector<BenchRow> &rows)
{
    using Line = std::array<QString, 6>;
    QVector<Line> lines{{QStringLiteral("Benchmark"), QStringLiteral("Ours"), QStringLiteral("Peer (same run)"),
                         QStringLiteral("Ratio"), QStringLiteral("Goal"), QStringLiteral("Result")}};
    for (const BenchRow &r : rows)
        lines.append({r.benchmark, orDash(r.ours), orDash(r.peer), orDash(r.ratio), orDash(r.goal),
                      verdictText(r.verdict)});
    std::array<int, 6> width{};
    for (const Line &l : lines)
        for (size_t c = 0; c < l.size(); ++c)
            width[c] = std::max(width[c], int(l[c].size()));

    QString out;
    auto emitLine = [&](const Line &l) {
        QStringList cells;
        for (size_t c = 0; c < l.size(); ++c)
            cells << l[c].leftJustified(width[c]);
        out += cells.join(QStringLiteral(" | ")).trimmed() + QLatin1Char('\n');
    };
    emitLine(lines.first());
    QStringList rule;
    for (int w : width)
        rule << QString(w, QLatin1Char('-'));
    out += rule.join(QStringLiteral("-+-")) + QLatin1Char('\n');
    for (int i = 1; i < lines.size(); ++i)
        emitLine(lines[i]);
    return out;
}

QString millis(double ms)
{
    if (ms >= 100)
        return QString::number(ms, 'f', 0) + QStringLiteral(" ms");
    if (ms >= 1)
        return QString::number(ms, 'f', 2) + QStringLiteral(" ms");
    return QString::number(ms, 'f', 3) + QStringLiteral(" ms");
}

QString ratioText(double ratio)
{
    return QString::number(ratio, 'f', 2) + QStringLiteral("×");
}

BenchRow::Verdict verdict(bool pass)
{
    return pass ? BenchRow::Pass : BenchRow::Fail;
}
