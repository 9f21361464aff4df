#pragma once

#include <QDebug>
#include <QString>

// "work <step> succeed!\n" / "work <step> failed!\n" in the debug log.
inline void logStep(const QString &step, bool ok)
{
    qDebug().noquote() << QStringLiteral("work %1 %2!\n").arg(step, ok ? QStringLiteral("succeed")
                                                                      : QStringLiteral("failed"));
}
