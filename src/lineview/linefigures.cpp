#include "linefigures.h"

#include "records/ledgerexport.h"

#include <QCoreApplication>
#include <QLocale>

namespace {
QString clock(const QDateTime &time)
{
    return time.toLocalTime().toString(QStringLiteral("HH:mm:ss"));
}

// Today's activity by its time, an older one with its date too.
QString lastActivity(const QDateTime &last, const QDateTime &dayStart)
{
    if (!last.isValid())
        return QStringLiteral("—");
    if (last >= dayStart)
        return clock(last);
    return last.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString yieldText(const StationStatus &s)
{
    if (s.chips == 0)
        return QStringLiteral("—");
    return QString::number(100.0 * double(s.passes) / double(s.chips), 'f', 1) + QLatin1Char('%');
}
}

QDateTime dayStartOf(const QDateTime &now)
{
    return QDateTime(now.toLocalTime().date(), QTime(0, 0));
}

void takeFigures(LineState *state, const LineFigures &figures)
{
    state->figures = figures;
    state->haveFigures = true;
    state->error.clear();
    state->failingSince = QDateTime();
}

void takeFailure(LineState *state, const QString &error, const QDateTime &when)
{
    if (state->error.isEmpty())
        state->failingSince = when;
    state->error = error;
}

QStringList stationColumns()
{
    return {QCoreApplication::translate("lineview", "工位"), QCoreApplication::translate("lineview", "芯片"), QCoreApplication::translate("lineview", "通过"), QCoreApplication::translate("lineview", "失败"), QCoreApplication::translate("lineview", "良率"), QCoreApplication::translate("lineview", "最后活动")};
}

QVector<QStringList> stationRows(const LineFigures &figures)
{
    QVector<QStringList> rows;
    for (const StationStatus &s : figures.stations)
        rows.append({s.station, QString::number(s.chips), QString::number(s.passes), QString::number(s.failures),
                     yieldText(s), lastActivity(s.last, figures.dayStart)});
    return rows;
}

QStringList spaceColumns()
{
    return {QCoreApplication::translate("lineview", "序列号空间"), QCoreApplication::translate("lineview", "起始"), QCoreApplication::translate("lineview", "结束"), QCoreApplication::translate("lineview", "下一个"), QCoreApplication::translate("lineview", "剩余"), QCoreApplication::translate("lineview", "已写入"), QCoreApplication::translate("lineview", "作废"), QCoreApplication::translate("lineview", "预留中")};
}

QVector<QStringList> spaceRows(const LineFigures &figures)
{
    QVector<QStringList> rows;
    for (const SpaceStatus &s : figures.spaces) {
        // Every value given out is written, void or reserved; what is left has never been given.
        const int64_t left = qMax<int64_t>(0, s.total - s.written - s.voided - s.reserved);
        rows.append({s.space.name, serialText(s.space, s.space.first), serialText(s.space, s.space.last),
                     s.nextFree ? serialText(s.space, *s.nextFree) : QCoreApplication::translate("lineview", "已用完"), QString::number(left),
                     QString::number(s.written), QString::number(s.voided), QString::number(s.reserved)});
    }
    return rows;
}

bool lineStale(const LineState &state)
{
    return !state.haveFigures || !state.error.isEmpty();
}

QString lineStateText(const LineState &state)
{
    if (!state.error.isEmpty()) {
        const QString kept = state.haveFigures
                                 ? QCoreApplication::translate("lineview", "显示的是 %1 读到的数据（已过时）").arg(clock(state.figures.readAt))
                                 : QCoreApplication::translate("lineview", "还没有读到数据");
        return QCoreApplication::translate("lineview", "账本无法读取（自 %1 起，正在重试）：%2。%3").arg(clock(state.failingSince), state.error, kept);
    }
    if (!state.haveFigures)
        return QCoreApplication::translate("lineview", "正在打开账本 %1……").arg(state.location);
    const QString how = state.mode == LineState::Mode::Live
                            ? QCoreApplication::translate("lineview", "实时（服务器通知新的记录）")
                            : QCoreApplication::translate("lineview", "每 %1 秒查看一次").arg(state.pollSeconds);
    return QCoreApplication::translate("lineview", "%1 · %2 · 读于 %3 · 今天 = %4 起").arg(state.location, how, clock(state.figures.readAt),
                                                       state.figures.dayStart.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
}
