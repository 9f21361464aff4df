#pragma once

#include "burnobserver.h"
#include "commands.h"
#include "records/productionstore.h"

#include <QElapsedTimer>
#include <QVector>

#include <memory>
#include <optional>

// The ledger's side of a burn. With a ledger (--ledger or TQ_LEDGER) every chip pass is recorded there
// before the engine looks for the next chip. With --serial NAME, before each chip the next value of the
// space is also written into the image at the space's address, coded as the space says, and the chip's
// record settles it (written on a pass, void otherwise).
//
// Values come in blocks reserved for this station; what a run leaves unused is voided at its end, and what
// a crash leaves is voided at the station's next start. The ledger's connection belongs to the main thread:
// a pass that ends on the worker is handed to it and the worker waits for the answer, so the record is kept
// and the next value is in the image before the engine looks for the next chip.
class LedgerBurn
{
public:
    // Without a ledger: does nothing and stays inactive. Else opens it; with --serial also voids this
    // station's leftovers, checks that the space fits the burned image and writes the first value into it.
    // 0, or the exit status after the error.
    int begin(const CliContext &ctx);
    bool active() const { return m_active; }

    // Records the pass that just ended (with its serial); when `nextChipFollows`, writes the next value into
    // the image. False with errorString() when the ledger could not keep it (the burn must stop).
    bool chipDone(const PassResult &pass, const QString &text, bool nextChipFollows);
    // The Link's firmware version ("H.M.L"), kept in every record of the run.
    void setFirmware(const QString &version) { m_firmware = version; }
    // Voids what the run took and did not burn (the value in the image, the rest of the block) and sends the
    // records that wait for the server. What the operator must know of records left waiting, else empty.
    QString finish();

    QString errorString() const { return m_error; }
    // The last failure was a server that could not be reached (with no serial left to burn).
    bool serverAway() const { return m_away; }
    QString location() const { return m_location; }
    // The serial of the chip recorded last, when it had one.
    std::optional<int64_t> lastSerial() const { return m_lastSerial; }

private:
    bool takeNext();
    void writeIntoImage(int64_t value);

    bool m_active = false;
    bool m_away = false;
    bool m_serials = false;               // --serial: a value for every chip
    QString m_url;
    QString m_location;
    QString m_station;
    QString m_operator;
    QString m_firmware;
    QString m_port;
    QString m_label;                      // the Link's name on the station (--label)
    QString m_run;
    int64_t m_sequence = 0;
    int m_blockSize = 1;
    SerialSpace m_space;
    Area m_area = Area::Rom;             // the image the serial goes into
    std::unique_ptr<ProductionStore> m_store;
    QVector<int64_t> m_block;             // reserved, not yet in an image
    std::optional<int64_t> m_current;     // in the image, for the chip being burned
    std::optional<int64_t> m_lastSerial;  // of the chip recorded last
    QElapsedTimer m_chipTime;
    QString m_error;
};
