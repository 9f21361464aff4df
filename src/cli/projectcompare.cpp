#include "projectcompare.h"

#include "chip/areas.h"
#include "chip/images.h"
#include "chip/mcuinfo.h"
#include "production/productionsettings.h"

#include <QCoreApplication>
#include <QJsonArray>

#include <algorithm>

ProjectState ProjectState::capture()
{
    ProjectState s;
    s.chip = g_currentMcu.strName;
    for (Area area : allAreas()) {
        AreaState &a = s.areas[int(area)];
        a.enabled = areaEnabled(area);
        a.size = areaDataSize(area);
        a.bytes = QByteArray(reinterpret_cast<const char *>(areaImage(area)), int(areaLength(area)));
    }
    uint8_t record[12];
    s.rollingEnabled = g_bEnRollCode;
    rollingToBytes(g_rollingSet, record);
    s.rolling = QByteArray(reinterpret_cast<const char *>(record), 12);
    s.limitEnabled = g_bEnLimit;
    s.limitCount = g_nLimitCount;
    s.autoBurnerEnabled = g_bEnAutoBurner;
    autoBurnerToBytes(g_autoBurnerSet, record);
    s.autoBurner = QByteArray(reinterpret_cast<const char *>(record), 12);
    s.options = {
        {QStringLiteral("uploadProtect"), g_bEnUploadProtect}, {QStringLiteral("autoWrite"), g_bEnAutoWrite},
        {QStringLiteral("singleWire"), g_bUartMode},           {QStringLiteral("calibrationAdc"), g_bCaliAdc},
        {QStringLiteral("calibrationClock"), g_bCaliClock},    {QStringLiteral("calibrationOnly"), g_bCaliOnly},
        {QStringLiteral("noAdcParamCheck"), g_bNoAdcParamCheck},
    };
    return s;
}

namespace {
uint16_t bytesSum(const QByteArray &bytes)
{
    return sum16(reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
}

int firstDifference(const QByteArray &a, const QByteArray &b)
{
    const int common = std::min(a.size(), b.size());
    for (int i = 0; i < common; ++i) {
        if (a[i] != b[i])
            return i;
    }
    return a.size() == b.size() ? -1 : common;
}

QString filled(QString text, const QStringList &args)
{
    switch (args.size()) {
    case 0: return text;
    case 1: return text.arg(args[0]);
    case 2: return text.arg(args[0], args[1]);
    case 3: return text.arg(args[0], args[1], args[2]);
    default: return text.arg(args[0], args[1], args[2], args[3]);
    }
}

// The words of a difference: "enabled", "disabled".
QString stateWord(bool enabled, bool forPeople)
{
    const char *word = enabled ? QT_TRANSLATE_NOOP("cli", "enabled") : QT_TRANSLATE_NOOP("cli", "disabled");
    return forPeople ? QCoreApplication::translate("cli", word) : QString::fromLatin1(word);
}
}

ProjectComparison compareProjects(const ProjectState &file, const ProjectState &link)
{
    ProjectComparison c;
    // Each difference in the source words (the JSON's, the same in every language) and for people.
    auto differ = [&c](const char *source, const QStringList &args, const QStringList &shownArgs) {
        c.equal = false;
        c.differences << filled(QString::fromLatin1(source), args);
        c.differenceTexts << filled(QCoreApplication::translate("cli", source), shownArgs);
    };

    if (file.chip != link.chip)
        differ(QT_TRANSLATE_NOOP("cli", "chip: file %1, Link %2"), {file.chip, link.chip}, {file.chip, link.chip});
    c.json.insert(QStringLiteral("chip"), QJsonObject{{QStringLiteral("file"), file.chip},
                                                      {QStringLiteral("link"), link.chip},
                                                      {QStringLiteral("equal"), file.chip == link.chip}});

    QJsonObject areas;
    for (Area area : allAreas()) {
        const ProjectState::AreaState &f = file.areas[int(area)];
        const ProjectState::AreaState &l = link.areas[int(area)];
        if (!f.enabled && !l.enabled)
            continue;
        const QString name = areaName(area);
        QJsonObject entry{{QStringLiteral("file"), f.enabled}, {QStringLiteral("link"), l.enabled},
                          {QStringLiteral("fileChecksum"), hex4(bytesSum(f.bytes))},
                          {QStringLiteral("linkChecksum"), hex4(bytesSum(l.bytes))}};
        bool same = f.enabled == l.enabled;
        if (!same)
            differ(QT_TRANSLATE_NOOP("cli", "%1: %2 in the file, %3 in the Link"),
                   {name, stateWord(f.enabled, false), stateWord(l.enabled, false)},
                   {name, stateWord(f.enabled, true), stateWord(l.enabled, true)});
        if (f.enabled && l.enabled) {
            const int at = firstDifference(f.bytes, l.bytes);
            if (at >= 0) {
                same = false;
                const uint32_t address = areaChipAddress(area) + uint32_t(at);
                entry.insert(QStringLiteral("firstDifference"), QStringLiteral("%1").arg(address, 4, 16, QLatin1Char('0')).toUpper());
                const QStringList args{name, QStringLiteral("%1").arg(address, 4, 16, QLatin1Char('0')).toUpper(),
                                       hex4(bytesSum(f.bytes)), hex4(bytesSum(l.bytes))};
                differ(QT_TRANSLATE_NOOP("cli", "%1: first difference at 0x%2, checksum file %3, Link %4"), args, args);
            } else if (f.size != l.size) {
                same = false;
                const QStringList args{name, QString::number(f.size), QString::number(l.size)};
                differ(QT_TRANSLATE_NOOP("cli", "%1: size file %2, Link %3"), args, args);
            }
        }
        entry.insert(QStringLiteral("equal"), same);
        areas.insert(name, entry);
    }
    c.json.insert(QStringLiteral("areas"), areas);

    QJsonObject settings;
    auto setting = [&](const QString &name, bool fileOn, bool linkOn, bool valuesEqual) {
        const bool same = fileOn == linkOn && (!fileOn || valuesEqual);
        settings.insert(name, same);
        if (!same)
            differ(QT_TRANSLATE_NOOP("cli", "%1 differs"), {name}, {name});
    };
    setting(QStringLiteral("rolling"), file.rollingEnabled, link.rollingEnabled, file.rolling == link.rolling);
    setting(QStringLiteral("limit"), file.limitEnabled, link.limitEnabled, file.limitCount == link.limitCount);
    setting(QStringLiteral("autoBurner"), file.autoBurnerEnabled, link.autoBurnerEnabled,
            file.autoBurner == link.autoBurner);
    for (int i = 0; i < file.options.size() && i < link.options.size(); ++i)
        setting(file.options[i].first, file.options[i].second, link.options[i].second, true);
    c.json.insert(QStringLiteral("settings"), settings);
    c.json.insert(QStringLiteral("equal"), c.equal);
    c.json.insert(QStringLiteral("differences"), QJsonArray::fromStringList(c.differences));
    return c;
}
