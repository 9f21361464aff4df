#pragma once

#include "productionstore.h"
#include "chip/areas.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QVector>

#include <memory>
#include <optional>

class QObject;

// Who records a burn in the ledger and where its serials come from: what a front end gives LedgerBurn.
struct LedgerBurnSetup
{
    QString url;            // the ledger; empty: none
    QString station;
    QString operatorName;
    QString port;           // the Link's port
    QString label;          // the Link's name on the station
    QString serialSpace;    // empty: no serial
    int blockSize = 1;      // values reserved at a time
};

// Values a loop reserves at a time: few enough that a crash voids little, enough that stations rarely meet.
// A one-chip burn takes one at a time, so a line that starts the program per chip voids nothing.
constexpr int kLedgerLoopBlock = 16;

// The ledger's side of a burn, for any front end. With a ledger every chip pass is recorded there before the
// engine looks for the next chip. With a serial space, before each chip the next value of the space is also
// written into the image at the space's address, coded as the space says, and the chip's record settles it
// (written on a pass, void otherwise).
//
// Values come in blocks reserved for this station; what a run leaves unused is voided at its end, and what
// a crash leaves is voided at the station's next start. The ledger's connection belongs to the thread that
// called begin(): a pass that ends on the worker is handed to it and the worker waits for the answer, so the
// record is kept and the next value is in the image before the engine looks for the next chip. That thread
// must therefore run its event loop while the burn runs.
class LedgerBurn
{
public:
    enum class Failure { None, Usage, ServerAway, Store };

    LedgerBurn();
    ~LedgerBurn();

    // Without a ledger: does nothing and stays inactive (a serial space without one is a usage error). Else
    // opens it; with a serial space also voids this station's leftovers, checks that the space fits the
    // burned image and writes the first value into it. Failure::None, or why it failed (errorString()).
    Failure begin(const LedgerBurnSetup &setup);
    bool active() const { return m_active; }
    bool serials() const { return m_serials; }
    // What begin() found worth telling (this station's leftovers voided), else empty.
    QString notice() const { return m_notice; }

    // Records the pass that just ended (with its serial); when `nextChipFollows`, writes the next value into
    // the image. False with errorString() when the ledger could not keep it (the burn must stop).
    bool chipDone(int code, uint16_t chipId, const QString &text, bool nextChipFollows);
    // The Link's firmware version ("H.M.L"), kept in every record of the run.
    void setFirmware(const QString &version) { m_firmware = version; }
    // Voids what the run took and did not burn (the value in the image, the rest of the block) and sends the
    // records that wait for the server. The image is as it was before begin() again. What the operator must
    // know of records left waiting, else empty.
    QString finish();

    QString errorString() const { return m_error; }
    // The last failure was a server that could not be reached (with no serial left to burn).
    bool serverAway() const { return m_away; }
    QString location() const { return m_location; }
    const SerialSpace &space() const { return m_space; }
    // The serial of the chip recorded last, when it had one.
    std::optional<int64_t> lastSerial() const { return m_lastSerial; }

private:
    Failure fail(Failure failure, const QString &error);
    bool takeNext();
    void writeIntoImage(int64_t value);

    bool m_active = false;
    bool m_away = false;
    bool m_serials = false;               // a value for every chip
    LedgerBurnSetup m_setup;
    QString m_location;
    QString m_firmware;
    QString m_run;
    QString m_notice;
    int64_t m_sequence = 0;
    SerialSpace m_space;
    Area m_area = Area::Rom;             // the image the serial goes into
    QByteArray m_imageBefore;             // the bytes the serial covers, as begin() found them
    uint32_t m_sizeBefore = 0;            // and the image's data size
    std::unique_ptr<ProductionStore> m_store;
    std::unique_ptr<QObject> m_owner;     // lives on the thread that called begin()
    QVector<int64_t> m_block;             // reserved, not yet in an image
    std::optional<int64_t> m_current;     // in the image, for the chip being burned
    std::optional<int64_t> m_lastSerial;  // of the chip recorded last
    QElapsedTimer m_chipTime;
    QString m_error;
};
