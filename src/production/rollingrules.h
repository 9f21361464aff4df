#pragma once

#include "productionsettings.h"

#include <QString>
#include <cstdint>

// Entry rules of the rolling serial number, shared by the window's writer-settings page and serialNoDialog so
// the two editors cannot drift apart. Each check takes the entered text or index and the record it would
// change, and says whether to store, ignore or refuse it, with the texts the editor shows.

// What the checks need to know about the chip and the loaded images.
struct RollingLimits
{
    uint32_t flashBytes = 0;   // nFlashSizeKB × 1024
    uint32_t sectorSize = 0;
    uint32_t bootSectors = 0;  // 0 = no BootLoader area
    uint32_t eepromSize = 0;
    bool binEnabled = false;
    uint32_t binSize = 0;
    bool blEnabled = false;
    uint32_t blSize = 0;

    // The NVR area is the BootLoader area, or one sector on a chip without one.
    uint32_t nvrAreaBytes() const { return bootSectors ? bootSectors * sectorSize : sectorSize; }
    uint32_t nvrLastAddress() const { return nvrAreaBytes() - 1; }
};

namespace rolling {

enum class Verdict { Store, Ignore, Refuse };

struct Outcome
{
    Verdict verdict = Verdict::Ignore;
    QString warning;    // text of a "警告" box, empty for none
    QString logNote;    // line for the window's log pane (accepted entries only)
    bool clearLog = false;  // the entry clears the window's log pane
    uint64_t value = 0;     // the value to store (Store only)
};

// Which checks the address entry runs: the window checks every area and notes image overlaps in its log pane;
// the dialog checks the range only for the NVR area.
enum class Editor { Window, Dialog };

constexpr int WidthCount = 4;  // "8", "16", "24", "32"

// The warning of an address or value that is not hexadecimal.
QString notHexWarning();

uint64_t maxStartValue(uint8_t bitSize, uint8_t radix);  // 100^n − 1 (radix 0) or 256^n − 1 (radix 1)
bool startValueTooLarge(const rolling_seting_t &r);

// Last byte of the area `area` (RollingArea); the default start address when the area is selected.
uint32_t areaLastAddress(uint8_t area, const RollingLimits &limits);

// Hexadecimal address text; Store carries the address.
Outcome checkStartAddress(const QString &text, const rolling_seting_t &r, const RollingLimits &limits,
                          Editor editor);

// Width combo index 0..3; Store carries the index.
Outcome checkWidth(int index, const rolling_seting_t &r, const RollingLimits &limits);

// Start value in the record's radix; Store carries the value.
Outcome checkStartValue(const QString &text, const rolling_seting_t &r);

// Step in the record's radix; Store carries the step.
Outcome checkStep(const QString &text, const rolling_seting_t &r);

// Parses `text` in the record's radix as the radix buttons do (0 when it does not parse).
uint32_t parseInRadix(const QString &text, bool hex);

// The dialog's OK with password and serial number both in the NVR area: the password takes the last
// 64 bytes of the NVR area. Empty when there is no conflict, else the box text.
QString passwordConflict(const rolling_seting_t &r, const RollingLimits &limits);

// Why a stored record (a project's) could not have come from the editors: a width, area or radix they do not
// offer, a start value wider than its width, a step out of range, or a number outside its area or across a
// sector. Empty when the editors could have made it. Overlap with the loaded images is not judged here.
QString recordProblem(const rolling_seting_t &r, const RollingLimits &limits);

// The address as the editors show it after an area change ("0x%x") and after a refusal ("0x%02x").
QString addressText(uint32_t address);
QString refusedAddressText(uint32_t address);

} // namespace rolling
