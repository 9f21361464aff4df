#pragma once

#include "burnobserver.h"
#include "commands.h"
#include "records/productionstore.h"

#include <QElapsedTimer>
#include <QVector>

#include <memory>
#include <optional>

// Online serial numbers for a burn (burn FILE --serial NAME): before each chip the next value of the
// ledger's space is written into the image at the space's address, coded as the space says; the chip's
// record settles it (written on a pass, void otherwise) before the engine looks for the next chip.
//
// Values come in blocks reserved for this station; what a run leaves unused is voided at its end, and what
// a crash leaves is voided at the station's next start. The ledger's connection belongs to the main thread:
// a pass that ends on the worker is handed to it and the worker waits, so the record is kept and the next
// value is in the image before the engine looks for the next chip.
class SerialBurner
{
public:
    // Without --serial: does nothing and stays inactive. Else opens the ledger, voids this station's
    // leftovers, checks that the space fits the burned image and writes the first value into it. 0, or the
    // exit status after the error.
    int begin(const CliContext &ctx);
    bool active() const { return m_active; }

    // Records the pass that just ended with its serial; when `nextChipFollows`, writes the next value into
    // the image. False with errorString() when the ledger could not keep it (the burn must stop).
    bool chipDone(const PassResult &pass, const QString &text, bool nextChipFollows);
    // Voids what the run took and did not burn (the value in the image, the rest of the block).
    void finish();

    QString errorString() const { return m_error; }
    QString location() const { return m_location; }

private:
    bool takeNext();
    void writeIntoImage(int64_t value);

    bool m_active = false;
    QString m_url;
    QString m_location;
    QString m_station;
    QString m_operator;
    QString m_port;
    QString m_run;
    int64_t m_sequence = 0;
    int m_blockSize = 1;
    SerialSpace m_space;
    Area m_area = Area::Rom;             // the image the serial goes into
    std::unique_ptr<ProductionStore> m_store;
    QVector<int64_t> m_block;             // reserved, not yet in an image
    std::optional<int64_t> m_current;     // in the image, for the chip being burned
    QElapsedTimer m_chipTime;
    QString m_error;
};
