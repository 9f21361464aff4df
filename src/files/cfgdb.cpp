#include "cfgdb.h"

#include "inputfile.h"
#include "savefile.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QRandomGenerator64>

QString g_strCompany;
QString g_strCfgChip[CFG_MAX_ENTRIES];
QString g_strCfgName[CFG_MAX_ENTRIES];
int g_nCfgCount = 0;

namespace {

const int kPadOffsetIndex = 3;
const QString kChipTag = QStringLiteral("[CHIP]");
const QString kCompanyTag = QStringLiteral("[COMPANY]");

uint8_t sum8(const char *data, int length)
{
    unsigned sum = 0;
    for (int i = 0; i < length; ++i)
        sum += static_cast<uint8_t>(data[i]);
    return static_cast<uint8_t>(sum);
}

void reportBadData(const FileMessages &msgs)
{
    msgs.showBox(QCoreApplication::translate("files", "错误"),
                 QCoreApplication::translate("files", "配置文件数据错误！"));
}

// As qDebug() would write them, quotes included, formatted only when someone takes debug lines.
template <typename... Parts> void debugParts(const FileMessages &msgs, const char *tag, const Parts &...parts)
{
    if (!msgs.debug)
        return;
    QString text;
    QDebug out(&text);
    out << tag;
    ((out << parts), ...);
    msgs.debugLine(text.trimmed());
}

void parseLine(const QString &line, const FileMessages &msgs)
{
    const int chip = line.indexOf(kChipTag);
    const int nameStart = chip + kChipTag.size();
    const int colon = chip >= 0 ? line.indexOf(QLatin1Char(':'), nameStart) : -1;
    if (colon >= 0) {
        const QString model = line.mid(nameStart, colon - nameStart);
        const QString name = line.mid(colon + 1);
        if (g_nCfgCount >= CFG_MAX_ENTRIES) {
            debugParts(msgs, "[CHIP IGNORED]", model, name);
            return;
        }
        g_strCfgChip[g_nCfgCount] = model;
        g_strCfgName[g_nCfgCount] = name;
        ++g_nCfgCount;
        debugParts(msgs, "[CHIP FIND]", model, name);
        return;
    }
    const int company = line.indexOf(kCompanyTag);
    if (company >= 0) {
        g_strCompany = line.mid(company + kCompanyTag.size());
        debugParts(msgs, "[CHIP COMPANY]", g_strCompany);
        return;
    }
    debugParts(msgs, "not find [COMPANY]&&[CHIP]");
}

} // namespace

QString cfgDbPath(const QString &appDir)
{
    return appDir + QStringLiteral("/cfg.db");
}

int parseCfgData(const QByteArray &data, const FileMessages &msgs)
{
    g_nCfgCount = 0;
    const int n = data.size();
    if (n == 0 || static_cast<uint8_t>(data.at(n - 1)) != sum8(data.constData(), n - 1)) {
        reportBadData(msgs);
        return -1;
    }
    const int k = n > kPadOffsetIndex ? static_cast<uint8_t>(data.at(kPadOffsetIndex)) : 0;
    const int payload = n > CFG_PAD_SIZE + 1 ? n - CFG_PAD_SIZE - 1 : 0;
    // Each payload byte is keyed by a pad byte; a payload reaching past the pad cannot be unscrambled.
    if (k + payload > CFG_PAD_SIZE) {
        reportBadData(msgs);
        return -1;
    }
    QByteArray plain(payload, Qt::Uninitialized);
    for (int i = 0; i < payload; ++i)
        plain[i] = static_cast<char>(data.at(CFG_PAD_SIZE + i) ^ data.at(k + i));
    const int nul = plain.indexOf('\0');
    if (nul >= 0)
        plain.truncate(nul);

    for (const QString &line : QString::fromUtf8(plain).split(QLatin1Char('\n')))
        parseLine(line, msgs);
    return 0;
}

int readCfgFile(const QString &appDir, const FileMessages &msgs)
{
    const QString problem = inputProblem(cfgDbPath(appDir), cfgFileMaxSize());
    if (!problem.isEmpty()) {
        qDebug().noquote() << "Cannot read the configuration:" << problem;
        msgs.appendLog(problem);
        return -1;
    }
    QFile file(cfgDbPath(appDir));
    if (!file.open(QIODevice::ReadOnly)) {
        qDebug() << "Cannot open file for reading:" << file.errorString();
        return -1;
    }
    return parseCfgData(file.readAll(), msgs);
}

QByteArray buildCfgData(const QByteArray &pad, const QString &text)
{
    const QByteArray plain = text.toUtf8();
    if (pad.size() != CFG_PAD_SIZE)
        return QByteArray();
    const int k = static_cast<uint8_t>(pad.at(kPadOffsetIndex));
    if (k + plain.size() > CFG_PAD_SIZE)
        return QByteArray();
    QByteArray out = pad;
    out.reserve(CFG_PAD_SIZE + plain.size() + 1);
    for (int i = 0; i < plain.size(); ++i)
        out.append(static_cast<char>(plain.at(i) ^ pad.at(k + i)));
    out.append(static_cast<char>(sum8(out.constData(), out.size())));
    return out;
}

QString cfgText()
{
    QString text;
    for (int i = 0; i < g_nCfgCount && i < CFG_MAX_ENTRIES; ++i)
        text += kChipTag + g_strCfgChip[i] + QLatin1Char(':') + g_strCfgName[i] + QLatin1Char('\n');
    return text + kCompanyTag + g_strCompany;
}

int writeCfgFile(const QString &appDir, QString *error)
{
    quint64 words[CFG_PAD_SIZE / sizeof(quint64)];
    QRandomGenerator64::global()->fillRange(words);
    const QByteArray pad(reinterpret_cast<const char *>(words), CFG_PAD_SIZE);
    const QByteArray data = buildCfgData(pad, cfgText());
    if (data.isEmpty())
        return -2;
    QString reason;
    if (!replaceFile(cfgDbPath(appDir), data, &reason)) {
        qDebug().noquote() << "Cannot write the configuration:" << reason;
        if (error)
            *error = reason;
        return -1;
    }
    return 0;
}

void applyCfgNames(QVector<McuInfo> &list)
{
    for (int i = 0; i < g_nCfgCount && i < CFG_MAX_ENTRIES; ++i) {
        for (McuInfo &m : list) {
            if (m.strName == g_strCfgChip[i])
                m.strName = g_strCfgName[i];
        }
    }
}

QString cfgDisplayName(const QString &catalogueName)
{
    for (int i = 0; i < g_nCfgCount && i < CFG_MAX_ENTRIES; ++i) {
        if (g_strCfgChip[i] == catalogueName)
            return g_strCfgName[i];
    }
    return catalogueName;
}

QStringList chipSelectorNames(const QVector<McuInfo> &list)
{
    QStringList names;
    if (g_nCfgCount == 0) {
        for (const McuInfo &m : list)
            names << m.strName;
        return names;
    }
    for (int i = 0; i < g_nCfgCount && i < CFG_MAX_ENTRIES; ++i)
        names << g_strCfgName[i];
    return names;
}
