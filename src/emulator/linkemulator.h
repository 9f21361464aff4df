#pragma once

#include "link/tracingbackend.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QVector>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

// A fault the emulated Link injects into its answers.
struct EmulatorFault
{
    enum Kind {
        FailStatus,  // answer with `status` (bytes 1-2 = chunk address + 1); block reads send nothing
        NoAnswer,    // the answer never comes
        ShortAnswer, // the first answer report carries 32 bytes only
        NoResponse,  // the no-response report, 64 × 0x15
    };
    uint8_t code = 0;
    Kind kind = FailStatus;
    int atUse = 0;       // 1-based use of the command (every frame counts); 0 = every use
    int atAddress = -1;  // only the frame whose address field (IAP chunk: whole offset) is this; -1 = any
    uint8_t status = 0x01;
};

// The memory map the program last sent with WriteToNvrInfomation.
struct EmulatorMemoryMap
{
    uint8_t bootSectors = 0;
    uint8_t nvr2Page = 0;
    uint8_t nvr2Sectors = 0;
    uint8_t nvr3Page = 0;
    uint8_t nvr3Sectors = 0;
    uint8_t flashSizeKB = 0;  // 0 = the whole 64 KiB
    uint8_t i2cMode = 1;
};

// Model of the Link's firmware and of a chip in its socket, driven frame by frame through
// EmulatorBackend. It follows the frames the program sends, nothing else. Thread-safe: the worker
// drives it while a test or the window inspects it.
//
// Chip: 64 KiB flash (programming clears bits, erase sets 0xFF), NVR space of 16 sectors × 512 bytes,
// 2 KiB EEPROM. Link store (external flash, 0xFF when erased): flash and BootLoader images with sizes,
// EEPROM, an NVR image over the 16-bit NVR address space, rolling record, password, limit, handler
// machine record and writer configuration. getChipCheckSum sums: flash over the mapped size, EEPROM
// over 2 KiB, NVR1 over the first sector, NVR2/NVR3 over their mapped pages, BootLoader over the
// mapped boot sectors. GetFwVersion answers H = hardware, M = software 1, L = 256 × software 2 +
// software 3 of the 4 stored version bytes. 0x36 answers ACK, drops the normal interface and, 300 ms
// later on the emulator clock, brings the IAP one; without an IAP command within 1.5 s of that arrival it
// re-enumerates as the normal Link. The IAP run command re-enumerates the same way with the new version.
class LinkEmulator
{
public:
    static constexpr uint32_t kFlashSize = 0x10000;
    static constexpr uint32_t kSectorSize = 512;
    static constexpr uint32_t kNvrSectors = 16;
    static constexpr uint32_t kNvrSize = kSectorSize * kNvrSectors;
    static constexpr uint32_t kEepromSize = 0x800;
    static constexpr uint32_t kFirmwareSize = 204800;
    static constexpr int kIapIdleMs = 1500;
    static constexpr int kReenumerateMs = 300;  // from dropping one interface to the other's arrival
    static constexpr uint16_t kDefaultChipId = 0x2610;
    static constexpr uint8_t kNoChipStatus = 0x01;
    static constexpr uint8_t kRefusedStatus = 0x02;  // unknown command or address outside the memory

    // With a folder: state is loaded from it (a blank chip when it holds nothing) and saved after every
    // closed session and on destruction.
    explicit LinkEmulator(const QString &stateDir = QString());
    ~LinkEmulator();
    LinkEmulator(const LinkEmulator &) = delete;
    LinkEmulator &operator=(const LinkEmulator &) = delete;

    // --- live controls: what an operator does to the emulated Link while a program runs ---
    // The window's Emulator menu and `tarnquill-cli emulator DIR` use these. Each is thread-safe and may be
    // called while the worker drives the Link; it takes effect at the Link's next command. A socket change
    // (insert, remove, chip id) is written to the state folder at once, so other programs on the folder see
    // it at their next poll; changes they make arrive here through poll(), so read chipPresent()/chipId()
    // again when showing them (e.g. when the menu opens) instead of caching them.
    void setChipPresent(bool present);  // insert (true) or remove (false) the chip
    bool chipPresent() const;
    void setChipId(uint16_t id);        // the id the next CheckID answers
    uint16_t chipId() const;
    // The next chip pass ends NG: its flash verify (checkSum) reports a mismatch or, in a pass without one,
    // its ExitProgrammer is refused. One pass only; the pass after it runs normally again.
    void failNextPass();
    bool failNextPassArmed() const;     // armed and not yet used up

    // --- the chip in the socket ---
    void removeChipAfterInits(int n);  // the chip disappears after n acknowledged InitProgrammer; -1 never
    QByteArray chipFlash() const;      // 64 KiB
    QByteArray chipNvr() const;        // 8 KiB
    QByteArray chipEeprom() const;     // 2 KiB
    void setChipFlash(uint32_t address, const QByteArray &data);  // clipped to the flash
    EmulatorMemoryMap memoryMap() const;

    // --- the Link itself ---
    void setConnected(bool connected);  // plug in / pull out (hot-plug events follow)
    bool connected() const;
    bool iapMode() const;               // the firmware runs its IAP loader
    QString interfaceName() const;      // the normal or the IAP interface name
    bool interfacePresent() const;      // connected and not in the middle of a re-enumeration
    std::array<uint8_t, 4> firmwareVersion() const;  // hardware, software 1..3
    void setFirmwareVersion(const std::array<uint8_t, 4> &version);
    QByteArray firmwareImage() const;   // what IAP mode received, up to its highest written byte
    // Store accessors (raw bytes as on the wire).
    QByteArray storeFlash() const;
    uint32_t storeBinSize() const;
    QByteArray storeBootLoader() const;
    uint32_t storeBootLoaderSize() const;
    QByteArray storeEeprom() const;
    QByteArray storeNvr() const;         // 64 KiB, indexed by NVR address
    QByteArray storeRolling() const;     // 12 bytes
    QByteArray storePassword() const;    // length byte + 60 bytes
    QByteArray storeLimit() const;       // 4 bytes
    QByteArray storeAutoBurner() const;  // 12 bytes
    QByteArray storeWriterCfg() const;   // frame bytes 3..63
    bool storeErased() const;            // everything 0xFF

    // --- faults ---
    void setOpenFails(bool fails);
    bool openFails() const;
    void addFault(const EmulatorFault &fault);
    void clearFaults();
    int commandCount(uint8_t code) const;  // frames received with this code

    // --- clock ---
    void setRealTimeClock(bool on);  // default on: the clock follows real time as well
    void advanceClock(int ms);
    // Applies what fell due (re-enumeration arrivals, IAP idle return). The transport calls it on every
    // access; a window in emulator mode calls it from a timer so hot-plug events come while idle.
    void poll();
    // Installs the linkSleepMs hook through which every Link pause advances this emulator's clock by the
    // part the time scale took away (all of it on the manual clock), so an upgrade or a restart behaves
    // the same at scale 0. Done by the constructor; the last emulator created (or attached) owns the hook,
    // and its destruction removes it unless someone else set a hook since. Stop the worker first.
    void attachToLinkClock();

    // Hot-plug: arrival (true) or removal (false) with the interface name. Called on the thread that
    // drove the change, outside the emulator's lock.
    void setHotPlugListener(std::function<void(bool arrived, const QString &name)> listener);

    TraceWriter &trace() { return m_trace; }

    void save();  // to the state folder, if any

    // --- transport side (EmulatorBackend) ---
    uint64_t generation() const;  // changes on every re-enumeration; older sessions are gone
    // One command frame plus its data; the answer reports (possibly none) to queue.
    std::vector<QByteArray> process(const uint8_t *frame, const QByteArray &data);
    static int dataLengthFollowing(const uint8_t *frame);  // bytes of data that follow this frame

private:
    struct Event {
        bool arrived;
        QString name;
    };
    int64_t nowMs() const;
    void pollLocked(std::vector<Event> &events);
    void reenumerate(bool iap, std::vector<Event> &events, int64_t atMs);
    QString interfaceNameLocked() const;
    void fire(const std::vector<Event> &events);
    const EmulatorFault *faultFor(uint8_t code, int use, uint32_t address) const;
    std::vector<QByteArray> execute(const uint8_t *frame, const QByteArray &data, std::vector<Event> &events);
    std::vector<QByteArray> executeIap(const uint8_t *frame, const QByteArray &data, std::vector<Event> &events);
    uint32_t flashLimit() const;
    uint16_t areaSum(const std::vector<uint8_t> &mem, uint32_t start, uint32_t length) const;
    void load();
    void saveLocked();
    std::vector<std::pair<const char *, std::vector<uint8_t> *>> persistentAreas();

    mutable std::mutex m_mutex;
    QString m_dir;
    TraceWriter m_trace;
    std::function<void(bool, const QString &)> m_listener;

    bool m_chipPresent = true;
    uint16_t m_chipId = kDefaultChipId;
    bool m_failNextPass = false;
    int m_removeAfterInits = -1;
    std::vector<uint8_t> m_flash, m_written, m_nvr, m_eeprom;
    EmulatorMemoryMap m_map;

    bool m_connected = true;
    bool m_iap = false;
    bool m_iapCommandSeen = false;
    bool m_arrivalPending = false;  // re-enumerating: no interface until m_arrivalDueMs
    int64_t m_arrivalDueMs = 0;
    int64_t m_iapEnteredMs = 0;
    uint64_t m_generation = 1;
    std::array<uint8_t, 4> m_version{{1, 1, 0, 0}};
    std::array<uint8_t, 4> m_pendingVersion{{0, 0, 0, 0}};
    std::vector<uint8_t> m_firmware;
    uint32_t m_firmwareEnd = 0;

    std::vector<uint8_t> m_storeFlash, m_storeBootLoader, m_storeEeprom, m_storeNvr, m_storeSettings;

    bool m_openFails = false;
    QVector<EmulatorFault> m_faults;
    std::map<uint8_t, int> m_uses;

    bool m_realTime = true;
    QElapsedTimer m_elapsed;
    int64_t m_manualMs = 0;
};
