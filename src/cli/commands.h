#pragma once

#include "areas.h"
#include "cliargs.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>

class ChipChoice;
class ProgressDisplay;

// What every command handler works with.
struct CliContext
{
    CliOptions options;
    ProgressDisplay &display;
    const ChipChoice &chips;

    void error(const QString &text) const;
    void errors(const QStringList &texts) const;

    // The areas of --areas, or `fallback` when none were given; false (after an error) when the current
    // chip lacks one of them.
    bool areas(const QVector<Area> &fallback, QVector<Area> *areas) const;

    // Prints an operation's result ({"result", "text"} with --json; failures also on stderr) and returns the
    // exit status. `label` is the operation's last label, the text of a success; `extra` joins the JSON.
    int finish(int code, const QString &label, const QJsonObject &extra = QJsonObject()) const;
    // The same with the result's text given.
    int finishWithText(int code, const QString &text, const QJsonObject &extra = QJsonObject()) const;
};

// The text for a result: the success label for 0, the chip found for 4, else the window's message.
// A source text, the same in every language (the JSON carries it); resultDisplayText gives it to people.
QString resultText(int code, const QString &label);
QString resultDisplayText(int code, const QString &sourceText);

// File commands: no Link involved.
int runChips(const CliContext &ctx);
int runInfo(const CliContext &ctx);
int runConvert(const CliContext &ctx);

// Chip commands (chipcommands.cpp).
int runBurn(const CliContext &ctx);
int runRead(const CliContext &ctx);
int runErase(const CliContext &ctx);
int runBlank(const CliContext &ctx);
int runFactory(const CliContext &ctx);

// The Link's store and maintenance (storecommands.cpp).
int runDownload(const CliContext &ctx);
int runUpload(const CliContext &ctx);
int runCompareLink(const CliContext &ctx);
int runFwVersion(const CliContext &ctx);
int runUpgrade(const CliContext &ctx);
int runEraseLink(const CliContext &ctx);

// The emulator's state folder.
int runEmulator(const CliContext &ctx);
