#pragma once

#include <QHash>
#include <QJsonObject>
#include <QString>
#include <QStringList>

// Figures of one Google Benchmark case: the median over the repetitions, or why there is none.
struct CaseResult
{
    QJsonObject median;  // real_time, cpu_time, time_unit, bytes_per_second, user counters
    QString error;       // the case's own error, or why the executable gave nothing

    bool ok() const { return error.isEmpty() && !median.isEmpty(); }
    double ms(const char *field) const;  // real_time or cpu_time in milliseconds
    double number(const char *field) const { return median.value(QLatin1String(field)).toDouble(); }
};

// Runs every case of a benchmark executable `repetitions` times; results keyed by case name. An executable
// that does not exist gives an empty hash.
QHash<QString, CaseResult> runGoogleBenchmark(const QString &executable, const QStringList &environment,
                                              int repetitions, QString *failure);
