#pragma once

#include "filemessages.h"
#include "chip/mcuinfo.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// cfg.db beside the executable: which catalogue models the window offers, under which display names, and
// the company name. Layout: an 8,192-byte random pad, the UTF-8 text XORed with the pad from pad byte 3
// on, and a sum8 of everything before the last byte.
constexpr int CFG_MAX_ENTRIES = 100;
constexpr int CFG_PAD_SIZE = 8192;

extern QString g_strCompany;
extern QString g_strCfgChip[CFG_MAX_ENTRIES];  // catalogue model names, in file order
extern QString g_strCfgName[CFG_MAX_ENTRIES];  // their display names
extern int g_nCfgCount;

QString cfgDbPath(const QString &appDir);  // appDir + "/cfg.db"

// Reads appDir/cfg.db into the globals. 0 read, -1 cannot open, not a regular file of at most
// cfgFileMaxSize() bytes (the reason in the log), or the contents fail their checks (then a
// "配置文件数据错误！" box). Entries past the 100th are ignored.
int readCfgFile(const QString &appDir, const FileMessages &msgs);

// The same on the file's bytes.
int parseCfgData(const QByteArray &data, const FileMessages &msgs);

// The file for `text` scrambled with `pad` (CFG_PAD_SIZE bytes). Empty when the pad is not CFG_PAD_SIZE
// bytes or the text does not fit behind the pad's offset byte, as such a file could not be read back.
QByteArray buildCfgData(const QByteArray &pad, const QString &text);

// The plain text of the current globals: every "[CHIP]model:name\n" line, then "[COMPANY]company".
QString cfgText();

// Writes the globals to appDir/cfg.db with a fresh pad from the process-wide 64-bit generator, through a
// temporary file so a failed write keeps the previous file. 0 written, -1 cannot write (the reason in
// *error, for the box that says so), -2 too long.
int writeCfgFile(const QString &appDir, QString *error = nullptr);

// Gives every record of `list` that a cfg.db entry names that entry's display name, entries in order.
void applyCfgNames(QVector<McuInfo> &list);

// The selector's name for a catalogue model: its first cfg.db display name, or the model name itself.
QString cfgDisplayName(const QString &catalogueName);

// What the chip selector lists: the display names of the entries, or every name of `list` when cfg.db
// names no chips.
QStringList chipSelectorNames(const QVector<McuInfo> &list);
