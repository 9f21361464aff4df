#include "commands.h"

#include "chipchoice.h"
#include "exitstatus.h"
#include "progressdisplay.h"
#include "reports.h"
#include "engine/enginetext.h"
#include "engine/resultcodes.h"
#include "files/chipname.h"
#include "link/linkstate.h"

#include <QCoreApplication>

void CliContext::error(const QString &text) const
{
    display.message(text);
}

void CliContext::errors(const QStringList &texts) const
{
    for (const QString &text : texts)
        display.message(text);
}

bool CliContext::areas(const QVector<Area> &fallback, QVector<Area> *out) const
{
    QVector<Area> chosen;
    for (const QString &name : options.areas) {
        Area area;
        if (areaFromName(name, &area))
            chosen << area;
    }
    if (chosen.isEmpty())
        chosen = fallback;
    for (Area area : qAsConst(chosen)) {
        const QString reason = areaUnavailableReason(area);
        if (!reason.isEmpty()) {
            error(reason);
            return false;
        }
    }
    *out = chosen;
    return true;
}

QString resultDisplayText(int code, const QString &sourceText)
{
    if (code == 4)
        return wrongChipText(g_currentMcu.strName, chipNameForId(g_wChipId));
    return engineText(sourceText);
}

int CliContext::finish(int code, const QString &label, const QJsonObject &extra) const
{
    return finishWithText(code, resultText(code, label), extra);
}

int CliContext::finishWithText(int code, const QString &text, const QJsonObject &extra) const
{
    if (code != 0)
        error(QStringLiteral("%1: %2 (%3)").arg(options.command, resultDisplayText(code, text)).arg(code));
    if (options.json)
        printJson(joinedJson(resultJson(code, text), extra));
    return exitStatusForResult(code);
}
