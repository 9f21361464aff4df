#include "ledgerchoice.h"

#include "files/savefile.h"
#include "records/ledgerurl.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSysInfo>
#include <QUrl>
#include <QUrlQuery>

namespace {
const char kFileName[] = "/ledger.choice";
const QString kUrlKey = QStringLiteral("url");
const QString kStationKey = QStringLiteral("station");
const QString kOperatorKey = QStringLiteral("operator");

// A URL without the password it may hold, in the user part or as a "password" keyword.
QString withoutPassword(const QString &url, bool *had)
{
    *had = false;
    if (!url.startsWith(QLatin1String("postgresql://")) && !url.startsWith(QLatin1String("postgres://")))
        return url;
    QUrl parsed(url, QUrl::StrictMode);
    if (!parsed.isValid())
        return url;
    if (!parsed.password().isEmpty()) {
        parsed.setPassword(QString());
        *had = true;
    }
    QUrlQuery query(parsed);
    if (query.hasQueryItem(QStringLiteral("password"))) {
        query.removeAllQueryItems(QStringLiteral("password"));
        parsed.setQuery(query);
        *had = true;
    }
    return *had ? parsed.toString() : url;
}

bool oneLine(const QString &text)
{
    static const QRegularExpression controls(QStringLiteral("[\\x00-\\x1F\\x7F]"));
    return !text.contains(controls);
}

LedgerChoice trimmed(const LedgerChoice &c)
{
    return {c.url.trimmed(), c.station.trimmed(), c.operatorName.trimmed()};
}

QString firstGiven(const QString &a, const QString &b)
{
    return a.isEmpty() ? b : a;
}
}

QString hostStationName()
{
    const QString host = QSysInfo::machineHostName();
    return host.isEmpty() ? QStringLiteral("station") : host;
}

LedgerChoice loadLedgerChoice(const QString &folder, QString *problem)
{
    if (problem)
        problem->clear();
    LedgerChoice choice;
    QFile file(folder + QLatin1String(kFileName));
    if (!file.open(QIODevice::ReadOnly))
        return choice;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        const int eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        const QString key = QString::fromUtf8(line.left(eq)).trimmed();
        const QString value = QString::fromUtf8(line.mid(eq + 1)).trimmed();
        if (key == kUrlKey)
            choice.url = value;
        else if (key == kStationKey)
            choice.station = value;
        else if (key == kOperatorKey)
            choice.operatorName = value;
    }
    bool hadPassword = false;
    choice.url = withoutPassword(choice.url, &hadPassword);
    if (hadPassword && problem)
        *problem = QCoreApplication::translate("ledger", "保存的账本地址中有数据库密码，已去掉：请把密码放在 ~/.pgpass、服务文件或 PGPASSWORD 中");
    return choice;
}

QString ledgerChoiceProblem(const LedgerChoice &given)
{
    const LedgerChoice choice = trimmed(given);
    if (!choice.url.isEmpty()) {
        LedgerLocation location;
        QString error;
        if (!parseLedgerUrl(choice.url, &location, &error))
            return error;
    }
    if (!oneLine(choice.url) || !oneLine(choice.station) || !oneLine(choice.operatorName))
        return QCoreApplication::translate("ledger", "账本地址、工位名称和操作员须各为一行文字");
    return QString();
}

bool saveLedgerChoice(const QString &folder, const LedgerChoice &given, QString *error)
{
    const QString problem = ledgerChoiceProblem(given);
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    const LedgerChoice choice = trimmed(given);
    const QByteArray bytes = (kUrlKey + QLatin1Char('=') + choice.url + QLatin1Char('\n') + kStationKey + QLatin1Char('=')
                              + choice.station + QLatin1Char('\n') + kOperatorKey + QLatin1Char('=') + choice.operatorName
                              + QLatin1Char('\n'))
                                 .toUtf8();
    return replaceFile(folder + QLatin1String(kFileName), bytes, error);
}

LedgerChoice effectiveLedgerChoice(const LedgerChoice &commandLine, const QProcessEnvironment &environment,
                                   const LedgerChoice &saved)
{
    const LedgerChoice given = trimmed(commandLine);
    const LedgerChoice kept = trimmed(saved);
    LedgerChoice choice;
    choice.url = firstGiven(given.url, firstGiven(environment.value(QStringLiteral("TQ_LEDGER")).trimmed(), kept.url));
    choice.station = firstGiven(given.station, firstGiven(kept.station, hostStationName()));
    choice.operatorName = firstGiven(given.operatorName, kept.operatorName);
    return choice;
}
