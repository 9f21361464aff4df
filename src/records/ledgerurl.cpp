#include "ledgerurl.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

namespace {
// libpq keywords that may follow the database in the URL. Qt hands them on separated by spaces without
// quoting, so values are kept to characters that cannot end one keyword or start another.
bool acceptedOption(const QString &key, const QString &value, QString *error)
{
    static const QStringList keys = {
        QStringLiteral("sslmode"), QStringLiteral("sslrootcert"), QStringLiteral("sslcert"), QStringLiteral("sslkey"),
        QStringLiteral("sslcrl"), QStringLiteral("connect_timeout"), QStringLiteral("application_name"),
        QStringLiteral("service"), QStringLiteral("passfile"), QStringLiteral("target_session_attrs"),
        QStringLiteral("keepalives"), QStringLiteral("keepalives_idle"), QStringLiteral("gssencmode"),
        QStringLiteral("options")};
    if (key == QLatin1String("password")) {
        *error = QCoreApplication::translate("ledger", "数据库密码不能写在地址中（会出现在进程列表和日志里）：请放在 ~/.pgpass、服务文件或 PGPASSWORD 中");
        return false;
    }
    if (!keys.contains(key)) {
        *error = QCoreApplication::translate("ledger", "数据库地址中有未知的参数 \"%1\"").arg(key);
        return false;
    }
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./:@+-]*$"));
    if (!plain.match(value).hasMatch()) {
        *error = QCoreApplication::translate("ledger", "数据库地址参数 %1 的值只能含字母、数字和 _ . / : @ + -").arg(key);
        return false;
    }
    return true;
}

bool parsePostgres(const QString &text, LedgerLocation *loc, QString *error)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid()) {
        *error = QCoreApplication::translate("ledger", "数据库地址无法解析：%1").arg(url.errorString());
        return false;
    }
    if (!url.password().isEmpty()) {
        *error = QCoreApplication::translate("ledger", "数据库密码不能写在地址中（会出现在进程列表和日志里）：请放在 ~/.pgpass、服务文件或 PGPASSWORD 中");
        return false;
    }
    loc->kind = LedgerLocation::Kind::Postgres;
    loc->user = url.userName();
    loc->host = url.host();
    loc->port = url.port(-1);
    loc->database = url.path().mid(1);
    if (loc->database.isEmpty() || loc->database.contains(QLatin1Char('/'))) {
        *error = QCoreApplication::translate("ledger", "数据库地址须写明数据库名：postgresql://[用户@]主机[:端口]/数据库");
        return false;
    }
    const QUrlQuery query(url);
    for (const auto &item : query.queryItems(QUrl::FullyDecoded)) {
        if (item.first == QLatin1String("host")) {
            loc->host = item.second;
        } else if (item.first == QLatin1String("port")) {
            bool ok = false;
            loc->port = item.second.toInt(&ok);
            if (!ok || loc->port < 1 || loc->port > 65535) {
                *error = QCoreApplication::translate("ledger", "数据库端口须为 1 到 65535");
                return false;
            }
        } else if (item.first == QLatin1String("user")) {
            loc->user = item.second;
        } else if (item.first == QLatin1String("dbname")) {
            loc->database = item.second;
        } else {
            if (!acceptedOption(item.first, item.second, error))
                return false;
            loc->options << item.first + QLatin1Char('=') + item.second;
        }
    }
    return true;
}
}

bool LedgerLocation::fileMissing() const
{
    return kind != Kind::Postgres && !QFileInfo::exists(path);
}

QString LedgerLocation::fileMissingText() const
{
    return QCoreApplication::translate("ledger", "账本文件 %1 还不存在").arg(QDir::toNativeSeparators(path));
}

QString LedgerLocation::display() const
{
    switch (kind) {
    case Kind::Csv:
        return QStringLiteral("csv:") + path;
    case Kind::Sqlite:
        return QStringLiteral("sqlite:") + path;
    case Kind::Postgres:
        break;
    }
    QString text = QStringLiteral("postgresql://");
    if (!user.isEmpty())
        text += user + QLatin1Char('@');
    if (!host.startsWith(QLatin1Char('/')))
        text += host;
    if (port > 0)
        text += QLatin1Char(':') + QString::number(port);
    text += QLatin1Char('/') + database;
    QStringList query;
    if (host.startsWith(QLatin1Char('/')))
        query << QStringLiteral("host=") + host;
    query << options;
    if (!query.isEmpty())
        text += QLatin1Char('?') + query.join(QLatin1Char('&'));
    return text;
}

bool parseLedgerUrl(const QString &url, LedgerLocation *location, QString *error)
{
    LedgerLocation loc;
    if (url.startsWith(QLatin1String("postgresql://")) || url.startsWith(QLatin1String("postgres://"))) {
        if (!parsePostgres(url, &loc, error))
            return false;
    } else if (url.startsWith(QLatin1String("sqlite:")) || url.startsWith(QLatin1String("csv:"))) {
        loc.kind = url.startsWith(QLatin1String("sqlite:")) ? LedgerLocation::Kind::Sqlite : LedgerLocation::Kind::Csv;
        loc.path = url.mid(url.indexOf(QLatin1Char(':')) + 1);
        if (loc.path.isEmpty()) {
            *error = QCoreApplication::translate("ledger", "账本地址 \"%1\" 缺少文件路径").arg(url);
            return false;
        }
    } else {
        *error = QCoreApplication::translate("ledger", "未知的账本地址 \"%1\"：请用 sqlite:路径、csv:路径 或 postgresql://主机/数据库").arg(url);
        return false;
    }
    *location = loc;
    return true;
}
