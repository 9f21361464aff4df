#include "gbenchrun.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

double CaseResult::ms(const char *field) const
{
    const QString unit = median.value(QLatin1String("time_unit")).toString();
    const double scale = unit == QLatin1String("ns") ? 1e-6 : unit == QLatin1String("us") ? 1e-3
                         : unit == QLatin1String("s") ? 1e3 : 1.0;
    return number(field) * scale;
}

QHash<QString, CaseResult> runGoogleBenchmark(const QString &executable, const QStringList &environment,
                                              int repetitions, QString *failure)
{
    QHash<QString, CaseResult> results;
    if (!QFileInfo(executable).isExecutable())
        return results;
    QProcess p;
    p.setEnvironment(environment);
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(executable, {QStringLiteral("--benchmark_format=json"), QStringLiteral("--benchmark_repetitions=%1").arg(repetitions),
                         QStringLiteral("--benchmark_report_aggregates_only=true")});
    if (!p.waitForFinished(600000) || p.exitStatus() != QProcess::NormalExit) {
        *failure = QStringLiteral("crashed or hung");
        return results;
    }
    const QJsonArray cases = QJsonDocument::fromJson(p.readAllStandardOutput())
                                 .object().value(QLatin1String("benchmarks")).toArray();
    if (cases.isEmpty())
        *failure = QStringLiteral("no results");
    for (const QJsonValue &v : cases) {
        const QJsonObject o = v.toObject();
        const QString name = o.value(QLatin1String("run_name")).toString();
        CaseResult &r = results[name];
        if (o.value(QLatin1String("error_occurred")).toBool())
            r.error = o.value(QLatin1String("error_message")).toString();
        else if (o.value(QLatin1String("aggregate_name")).toString() == QLatin1String("median"))
            r.median = o;
        else if (repetitions == 1 && o.value(QLatin1String("run_type")).toString() == QLatin1String("iteration"))
            r.median = o;  // a single run has no aggregates: it is its own median
    }
    return results;
}
