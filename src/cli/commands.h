#pragma once

#include "chip/areas.h"
#include "cliargs.h"
#include "records/productionlog.h"

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

// A result's source text (resultText, the same in every language: the JSON carries it) for people.
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

// The line's ledger (ledgercommands.cpp).
int runLedger(const CliContext &ctx);
