#pragma once

#include "emulatorstate.h"
#include "iapmode.h"
#include "link/tracingbackend.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QVector>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

class FolderLock;
class StateFolder;

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

// Model of the Link's firmware and of a chip in its socket, driven frame by frame through EmulatorBackend.
// It follows the frames the program sends, nothing else. Thread-safe: the worker drives it while a test or
// the window inspects it. Its parts: the chip (emulatedchip.h), the Link's store (linkstore.h), the USB
// interface with the IAP loader and the clock (iapmode.h), and the state folder (statefolder.h).
//
// GetFwVersion answers the installed firmware's H, M and L as three 16-bit numbers.
class LinkEmulator
{
public:
    static constexpr uint32_t kFlashSize = EmulatorSizes::kFlash;
    static constexpr uint32_t kSectorSize = EmulatorSizes::kSector;
    static constexpr uint32_t kNvrSectors = EmulatorSizes::kNvr / EmulatorSizes::kSector;
    static constexpr uint32_t kNvrSize = EmulatorSizes::kNvr;
    static constexpr uint32_t kEepromSize = EmulatorSizes::kEeprom;
    static constexpr uint32_t kFirmwareSize = EmulatorSizes::kFirmware;
    static constexpr int kIapIdleMs = IapMode::kIdleMs;
    static constexpr int kReenumerateMs = IapMode::kReenumerateMs;
    static constexpr uint16_t kDefaultChipId = 0x2610;
    static constexpr uint8_t kNoChipStatus = EmulatorReplies::kNoChipStatus;
    static constexpr uint8_t kRefusedStatus = EmulatorReplies::kRefusedStatus;
    static constexpr int kFolderPollMs = 20;  // poll() looks at the state folder at most this often

    // With a folder, its state file is the Link's memory across programs and runs (a blank Link when it has
    // none yet). What changed is saved there, whole and merged with what other programs saved, at the end of
    // each chip pass (ExitProgrammer), when the Link's lock is released, when the socket changes, by save()
    // and on destruction; never while nothing changed. Other programs' changes arrive at poll(). A folder
    // that cannot be used (damaged, not writable) is never written: stateError() says why.
    explicit LinkEmulator(const QString &stateDir = QString());
    ~LinkEmulator();
    LinkEmulator(const LinkEmulator &) = delete;
    LinkEmulator &operator=(const LinkEmulator &) = delete;

    // --- live controls: what an operator does to the emulated Link while a program runs ---
    // The window's Emulator menu and `tarnquill-cli emulator DIR` use these. Each is thread-safe and may be
    // called while the worker drives the Link; it takes effect at the Link's next command. A socket change
    // (insert, remove, chip id) is written to the state folder at once (false when that failed, see
    // stateError()), so other programs on the folder see it at their next poll; changes they make arrive here
    // through poll(), so read chipPresent()/chipId() again when showing them (e.g. when the menu opens)
    // instead of caching them.
    bool setChipPresent(bool present);  // insert (true) or remove (false) the chip
    bool chipPresent() const;
    bool setChipId(uint16_t id);        // the id the next CheckID answers
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
    // Plug in / pull out (hot-plug events follow); kept in the state folder, so another program can pull a
    // Link out of a running one.
    void setConnected(bool connected);
    bool connected() const;
    bool iapMode() const;               // the firmware runs its IAP loader
    QString interfaceName() const;      // the normal or the IAP interface name
    bool interfacePresent() const;      // connected and not in the middle of a re-enumeration
    LinkFirmwareVersion firmwareVersion() const;
    void setFirmwareVersion(const LinkFirmwareVersion &version);
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
    // Applies what fell due (re-enumeration arrivals, IAP idle return) and takes what other programs saved
    // into the state folder. The transport calls it on every access; a window in emulator mode calls it from
    // a timer so hot-plug events and socket changes come while idle.
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

    // --- the state folder ---
    QString stateDir() const;
    bool startedFresh() const;  // no folder, or the folder held no state yet
    // Empty while the folder can be used and every save succeeded; else what went wrong first.
    QString stateError() const;
    bool save();    // saves what changed (false: see stateError())
    void reload();  // takes what other programs saved, now (poll() does it at most every kFolderPollMs)

    // The emulated Link's device lock, which an operation holds around its command sequence. It belongs to
    // the state folder (a lock file in it), so programs on one folder exclude each other, while other
    // folders and real Links never wait for it; without a folder it belongs to this emulator object. Each
    // LinkLock is one holder; two holders exclude each other, also within one process.
    class LinkLock
    {
    public:
        explicit LinkLock(LinkEmulator &emulator);
        ~LinkLock();
        LinkLock(const LinkLock &) = delete;
        LinkLock &operator=(const LinkLock &) = delete;
        // Takes the lock without waiting (a hold of its own is dropped first) and brings the emulator up to
        // the folder's state. False when another holder has it or its lock file cannot be used.
        bool tryLock();
        // The end of an operation: saves what it changed, then lets go.
        void unlock();

    private:
        LinkEmulator &m_emulator;
        std::unique_ptr<FolderLock> m_file;
        bool m_held = false;
    };

    // --- transport side (EmulatorBackend) ---
    uint64_t generation() const;  // changes on every re-enumeration; older sessions are gone
    // One command frame plus its data; the answer reports (possibly none) to queue.
    std::vector<QByteArray> process(const uint8_t *frame, const QByteArray &data);
    static int dataLengthFollowing(const uint8_t *frame);  // bytes of data that follow this frame

private:
    void fire(const std::vector<HotPlugEvent> &events);
    const EmulatorFault *faultFor(uint8_t code, int use, uint32_t address) const;
    std::vector<QByteArray> execute(const uint8_t *frame, const QByteArray &data, std::vector<HotPlugEvent> &events);
    std::vector<QByteArray> executeChip(const uint8_t *frame, const QByteArray &data);
    bool saveLocked();
    // `quick` while polling: the state file last read, still in place, is not read again.
    void reloadLocked(std::vector<HotPlugEvent> &events, bool quick = false);
    bool changeSocketLocked(unsigned field);  // one EmulatorState socket part

    mutable std::mutex m_mutex;
    TraceWriter m_trace;
    std::function<void(bool, const QString &)> m_listener;

    EmulatorState m_state;
    unsigned m_unsaved = 0;  // EmulatorState parts changed since the last save
    std::unique_ptr<StateFolder> m_folder;
    bool m_fresh = true;
    bool m_folderUsable = true;
    QString m_stateError;
    QElapsedTimer m_sinceFolderLook;
    const void *m_memoryLockHolder = nullptr;  // the LinkLock holding an emulator without a folder

    int m_removeAfterInits = -1;
    bool m_failNextPass = false;
    IapMode m_link;

    bool m_openFails = false;
    QVector<EmulatorFault> m_faults;
    std::map<uint8_t, int> m_uses;
};
