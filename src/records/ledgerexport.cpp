#include "ledgerexport.h"

#include <QStringList>

#include <algorithm>

namespace {
const QStringList &columns()
{
    static const QStringList names = {
        QStringLiteral("time"),     QStringLiteral("station"),  QStringLiteral("operator"),
        QStringLiteral("port"),     QStringLiteral("label"),    QStringLiteral("firmware"),
        QStringLiteral("programVersion"), QStringLiteral("chip"), QStringLiteral("chipId"),
        QStringLiteral("space"),    QStringLiteral("serial"),   QStringLiteral("result"),
        QStringLiteral("text"),     QStringLiteral("checksum"), QStringLiteral("areas"),
        QStringLiteral("checksums"), QStringLiteral("durationMs"), QStringLiteral("run"),
        QStringLiteral("sequence")};
    return names;
}

// RFC 4180: a field holding a comma, a quote or a line break is quoted, inner quotes doubled.
QString csvField(const QString &text)
{
    static const QString special = QStringLiteral(",\"\r\n");
    if (std::none_of(text.begin(), text.end(), [](QChar c) { return special.contains(c); }))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// ISO 8601 in UTC, to the millisecond.
QString isoText(const QDateTime &time)
{
    return time.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
}

QString jsonCell(const QJsonValue &v)
{
    if (v.isNull())
        return QString();
    if (v.isDouble())
        return QString::number(qint64(v.toDouble()));
    return v.toString();
}
}

QJsonObject recordJson(const LedgerRecord &r)
{
    QJsonObject o;
    o.insert(QStringLiteral("time"), isoText(r.time));
    o.insert(QStringLiteral("station"), r.station);
    o.insert(QStringLiteral("operator"), r.operatorName);
    o.insert(QStringLiteral("port"), r.port);
    o.insert(QStringLiteral("label"), r.label);
    o.insert(QStringLiteral("firmware"), r.firmware);
    o.insert(QStringLiteral("programVersion"), r.programVersion);
    o.insert(QStringLiteral("chip"), r.chip);
    o.insert(QStringLiteral("chipId"), QStringLiteral("%1").arg(r.chipId, 4, 16, QLatin1Char('0')).toUpper());
    o.insert(QStringLiteral("space"), r.space.isEmpty() ? QJsonValue() : QJsonValue(r.space));
    o.insert(QStringLiteral("serial"), r.serial ? QJsonValue(qint64(*r.serial)) : QJsonValue());
    o.insert(QStringLiteral("result"), r.result);
    o.insert(QStringLiteral("text"), r.text);
    o.insert(QStringLiteral("checksum"), r.imageChecksum);
    o.insert(QStringLiteral("areas"), r.areas.join(QLatin1Char(' ')));
    o.insert(QStringLiteral("checksums"), r.checksums.join(QLatin1Char(' ')));
    o.insert(QStringLiteral("durationMs"), qint64(r.durationMs));
    o.insert(QStringLiteral("run"), r.run);
    o.insert(QStringLiteral("sequence"), qint64(r.sequence));
    return o;
}

LedgerRecord recordFromJson(const QJsonObject &o)
{
    const auto text = [&o](const char *key) { return o.value(QLatin1String(key)).toString(); };
    const auto number = [&o](const char *key) { return int64_t(o.value(QLatin1String(key)).toDouble()); };
    LedgerRecord r;
    r.time = QDateTime::fromString(text("time"), Qt::ISODateWithMs);
    r.station = text("station");
    r.operatorName = text("operator");
    r.port = text("port");
    r.label = text("label");
    r.firmware = text("firmware");
    r.programVersion = text("programVersion");
    r.chip = text("chip");
    r.chipId = uint16_t(text("chipId").toUInt(nullptr, 16));
    r.space = text("space");
    if (!o.value(QStringLiteral("serial")).isNull())
        r.serial = number("serial");
    r.result = int(number("result"));
    r.text = text("text");
    r.imageChecksum = text("checksum");
    r.areas = text("areas").split(QLatin1Char(' '), Qt::SkipEmptyParts);
    r.checksums = text("checksums").split(QLatin1Char(' '), Qt::SkipEmptyParts);
    r.durationMs = number("durationMs");
    r.run = text("run");
    r.sequence = number("sequence");
    return r;
}

QJsonArray recordsJson(const QVector<LedgerRecord> &records)
{
    QJsonArray array;
    for (const LedgerRecord &r : records)
        array.append(recordJson(r));
    return array;
}

QByteArray recordsCsv(const QVector<LedgerRecord> &records)
{
    QString text = columns().join(QLatin1Char(',')) + QStringLiteral("\r\n");
    for (const LedgerRecord &r : records) {
        const QJsonObject o = recordJson(r);
        QStringList cells;
        for (const QString &column : columns())
            cells << csvField(jsonCell(o.value(column)));
        text += cells.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

QString serialText(const SerialSpace &space, int64_t value)
{
    return space.radix == 16 ? QStringLiteral("0x") + QString::number(value, 16).toUpper() : QString::number(value);
}

QJsonObject spaceJson(const SerialSpace &s)
{
    static const char *areas[] = {"nvr", "eeprom", "flash", "?"};
    QJsonObject o;
    o.insert(QStringLiteral("name"), s.name);
    o.insert(QStringLiteral("first"), qint64(s.first));
    o.insert(QStringLiteral("last"), qint64(s.last));
    o.insert(QStringLiteral("step"), qint64(s.step));
    o.insert(QStringLiteral("total"), qint64(s.count()));
    o.insert(QStringLiteral("area"), QString::fromLatin1(areas[qMin<int>(s.area, 3)]));
    o.insert(QStringLiteral("address"), qint64(s.address));
    o.insert(QStringLiteral("width"), s.width);
    o.insert(QStringLiteral("radix"), s.radix);
    o.insert(QStringLiteral("byteOrder"), SerialSpace::byteOrderName(s.byteOrder));
    return o;
}

QJsonObject leaseJson(const SerialLease &l)
{
    QJsonObject o;
    o.insert(QStringLiteral("station"), l.station);
    o.insert(QStringLiteral("port"), l.port);
    o.insert(QStringLiteral("space"), l.space);
    o.insert(QStringLiteral("first"), qint64(l.first));
    o.insert(QStringLiteral("last"), qint64(l.last));
    o.insert(QStringLiteral("count"), qint64(l.count));
    o.insert(QStringLiteral("time"), isoText(l.leased));
    o.insert(QStringLiteral("state"), SerialLease::stateName(l.state));
    if (l.settled.isValid())
        o.insert(QStringLiteral("settled"), isoText(l.settled));
    if (l.reason != SerialLease::Reason::None)
        o.insert(QStringLiteral("reason"), SerialLease::reasonName(l.reason));
    if (!l.detail.isEmpty())
        o.insert(QStringLiteral("detail"), l.detail);
    return o;
}

QJsonObject statusJson(const LedgerStatus &status)
{
    QJsonArray spaces;
    for (const SpaceStatus &s : status.spaces) {
        QJsonObject o = spaceJson(s.space);
        o.insert(QStringLiteral("nextFree"), s.nextFree ? QJsonValue(qint64(*s.nextFree)) : QJsonValue());
        o.insert(QStringLiteral("written"), qint64(s.written));
        o.insert(QStringLiteral("void"), qint64(s.voided));
        o.insert(QStringLiteral("reserved"), qint64(s.reserved));
        o.insert(QStringLiteral("leased"), qint64(s.leased));
        QJsonArray leases;
        for (const SerialLease &l : s.leases)
            leases.append(leaseJson(l));
        o.insert(QStringLiteral("leases"), leases);
        spaces.append(o);
    }
    QJsonArray stations;
    for (const StationStatus &s : status.stations) {
        QJsonObject o;
        o.insert(QStringLiteral("station"), s.station);
        o.insert(QStringLiteral("chips"), qint64(s.chips));
        o.insert(QStringLiteral("passes"), qint64(s.passes));
        o.insert(QStringLiteral("failures"), qint64(s.failures));
        o.insert(QStringLiteral("yield"), s.chips ? double(s.passes) / double(s.chips) : QJsonValue());
        stations.append(o);
    }
    QJsonObject o;
    o.insert(QStringLiteral("spaces"), spaces);
    o.insert(QStringLiteral("stations"), stations);
    return o;
}
