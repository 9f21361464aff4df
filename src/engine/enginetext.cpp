#include "enginetext.h"

#include <QCoreApplication>

namespace {
QString translated(const QString &source)
{
    return QCoreApplication::translate("engine", source.toUtf8().constData());
}
}

QString engineText(const QString &source)
{
    const QString whole = translated(source);
    if (whole != source)
        return whole;
    // "芯片连接中...." animates with dots after the label: the label is translated, the dots stay.
    int end = source.size();
    while (end > 0 && source.at(end - 1) == QLatin1Char('.'))
        --end;
    if (end == 0 || end == source.size())
        return source;
    return translated(source.left(end)) + source.mid(end);
}

QString workerResultText(int code, const QString &text)
{
    static const QString wrongChip = QString::fromUtf8("目标MCU是 ");
    if (code == 4 && text.startsWith(wrongChip))
        return QCoreApplication::translate("cli", "目标MCU是 %1").arg(text.mid(wrongChip.size()));
    return engineText(text);
}
