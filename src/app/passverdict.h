#pragma once

#include <QString>

#include <cstdint>

// What the result indicator shows after a chip pass: "OK" with the burned image's checksum, or "NG" with the
// reason a person on the line can act on.
struct PassVerdict
{
    bool ok = false;
    QString headline;  // "OK" or "NG"
    QString detail;
};

// `code` is the pass's result code, `foundId` the id the chip answered, `expectedModel` the chosen chip;
// `checksum` is shown for a good pass.
PassVerdict passVerdict(int code, uint16_t foundId, const QString &expectedModel, uint16_t checksum);

// What the indicator shows after an operation other than a burn: "OK" with the operation's name, or "NG"
// with the reason and code. `operation` is the operation's name in the user's language.
PassVerdict operationVerdict(const QString &operation, int code);
