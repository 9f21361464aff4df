#include "linkemulator.h"

#include "emulatedchip.h"
#include "linkstore.h"
#include "statefolder.h"
#include "link/linkcommands.h"
#include "link/linkframe.h"
#include "link/timing.h"

#include <algorithm>
#include <cstring>

using namespace EmulatorReplies;

LinkEmulator::LinkEmulator(const QString &stateDir)
{
    m_state.socket.chipId = kDefaultChipId;
    if (!stateDir.isEmpty()) {
        m_folder = std::make_unique<StateFolder>(stateDir);
        m_folderUsable = m_folder->load(&m_state, &m_fresh, &m_stateError);
        m_sinceFolderLook.start();
        std::vector<HotPlugEvent> nobodyListensYet;
        m_link.setConnected(m_state.socket.linkConnected, nobodyListensYet);
    }
    attachToLinkClock();
}

LinkEmulator::~LinkEmulator()
{
    clearLinkSleepHook(this);
    save();
}

// --- live controls ---

bool LinkEmulator::setChipPresent(bool present)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_state.socket.present = present;
    return changeSocketLocked(EmulatorState::ChipPresence);
}

bool LinkEmulator::chipPresent() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_state.socket.present;
}

bool LinkEmulator::setChipId(uint16_t id)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_state.socket.chipId = id;
    return changeSocketLocked(EmulatorState::SocketChipId);
}

uint16_t LinkEmulator::chipId() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_state.socket.chipId;
}

bool LinkEmulator::changeSocketLocked(unsigned field)
{
    m_unsaved |= field;
    return saveLocked();
}

void LinkEmulator::failNextPass()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_failNextPass = true;
}

bool LinkEmulator::failNextPassArmed() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_failNextPass;
}

// --- chip ---

void LinkEmulator::removeChipAfterInits(int n)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_removeAfterInits = n;
}

QByteArray LinkEmulator::chipFlash() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOf(m_state.chip.flash);
}

QByteArray LinkEmulator::chipNvr() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOf(EmulatedChip::nvrAsRead(m_state.chip.nvr));
}

QByteArray LinkEmulator::chipEeprom() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOf(m_state.chip.eeprom);
}

void LinkEmulator::setChipFlash(uint32_t address, const QByteArray &data)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (address >= kFlashSize)
        return;
    const int n = int(std::min<uint32_t>(uint32_t(data.size()), kFlashSize - address));
    std::memcpy(m_state.chip.flash.data() + address, data.constData(), size_t(n));
    m_unsaved |= EmulatorState::Chip;
}

EmulatorMemoryMap LinkEmulator::memoryMap() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_state.chip.map;
}

// --- Link ---

void LinkEmulator::setConnected(bool connected)
{
    std::vector<HotPlugEvent> events;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_link.setConnected(connected, events);
        if (m_state.socket.linkConnected != connected) {
            m_state.socket.linkConnected = connected;
            changeSocketLocked(EmulatorState::LinkPlug);
        }
    }
    fire(events);
}

bool LinkEmulator::connected() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_link.connected();
}

bool LinkEmulator::iapMode() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_link.iap();
}

QString LinkEmulator::interfaceName() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_link.interfaceName();
}

bool LinkEmulator::interfacePresent() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_link.present();
}

LinkFirmwareVersion LinkEmulator::firmwareVersion() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_state.firmware.version;
}

void LinkEmulator::setFirmwareVersion(const LinkFirmwareVersion &version)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_state.firmware.version = version;
    m_unsaved |= EmulatorState::Firmware;
}

QByteArray LinkEmulator::firmwareImage() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOf(m_state.firmware.image, 0, int(m_state.firmware.end));
}

QByteArray LinkEmulator::storeFlash() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOrErased(m_state.store.flash, EmulatorSizes::kFlash);
}

uint32_t LinkEmulator::storeBinSize() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return get32(m_state.store.settings.data() + LinkStore::kBinSizeAt);
}

QByteArray LinkEmulator::storeBootLoader() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOrErased(m_state.store.bootLoader, EmulatorSizes::kStoreBoot);
}

uint32_t LinkEmulator::storeBootLoaderSize() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return get16(m_state.store.settings.data() + LinkStore::kBootSizeAt);
}

QByteArray LinkEmulator::storeEeprom() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOrErased(m_state.store.eeprom, EmulatorSizes::kEeprom);
}

QByteArray LinkEmulator::storeNvr() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOrErased(m_state.store.nvr, EmulatorSizes::kStoreNvr);
}

QByteArray LinkEmulator::storeRolling() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOf(m_state.store.settings, LinkStore::kRollingAt, LinkStore::kRollingBytes);
}

QByteArray LinkEmulator::storePassword() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOf(m_state.store.settings, LinkStore::kPasswordAt, LinkStore::kPasswordBytes);
}

QByteArray LinkEmulator::storeLimit() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOf(m_state.store.settings, LinkStore::kLimitAt, LinkStore::kLimitBytes);
}

QByteArray LinkEmulator::storeAutoBurner() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOf(m_state.store.settings, LinkStore::kAutoBurnerAt, LinkStore::kAutoBurnerBytes);
}

QByteArray LinkEmulator::storeWriterCfg() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOf(m_state.store.settings, LinkStore::kWriterCfgAt, LinkStore::kWriterCfgBytes);
}

bool LinkEmulator::storeErased() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return LinkStore::erased(m_state.store);
}

// --- faults ---

void LinkEmulator::setOpenFails(bool fails)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_openFails = fails;
}

bool LinkEmulator::openFails() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_openFails;
}

void LinkEmulator::addFault(const EmulatorFault &fault)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults << fault;
}

void LinkEmulator::clearFaults()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.clear();
    m_openFails = false;
}

int LinkEmulator::commandCount(uint8_t code) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_uses.find(code);
    return it == m_uses.end() ? 0 : it->second;
}

const EmulatorFault *LinkEmulator::faultFor(uint8_t code, int use, uint32_t address) const
{
    for (const EmulatorFault &f : m_faults) {
        if (f.code != code)
            continue;
        if (f.atUse != 0 && f.atUse != use)
            continue;
        if (f.atAddress >= 0 && uint32_t(f.atAddress) != address)
            continue;
        return &f;
    }
    return nullptr;
}

// --- clock and hot-plug ---

void LinkEmulator::setRealTimeClock(bool on)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_link.setRealTimeClock(on);
}

void LinkEmulator::advanceClock(int ms)
{
    std::vector<HotPlugEvent> events;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_link.advance(ms);
        m_link.poll(events);
    }
    fire(events);
}

void LinkEmulator::poll()
{
    std::vector<HotPlugEvent> events;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_link.poll(events);
        if (m_folder && m_sinceFolderLook.elapsed() >= kFolderPollMs)
            reloadLocked(events, true);
    }
    fire(events);
}

void LinkEmulator::attachToLinkClock()
{
    // The Link's notion of time: a pause the time scale shortened still passes in full on this clock.
    setLinkSleepHook(
        [this](int ms) {
            bool realTime;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                realTime = m_link.realTimeClock();
            }
            const double skipped = realTime ? ms * (1.0 - std::min(1.0, linkTimeScale())) : ms;
            advanceClock(int(skipped));
        },
        this);
}

void LinkEmulator::setHotPlugListener(std::function<void(bool, const QString &)> listener)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_listener = std::move(listener);
}

void LinkEmulator::fire(const std::vector<HotPlugEvent> &events)
{
    std::function<void(bool, const QString &)> listener;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        listener = m_listener;
    }
    if (listener)
        for (const HotPlugEvent &e : events)
            listener(e.arrived, e.name);
}

uint64_t LinkEmulator::generation() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_link.generation();
}

// --- the state folder ---

QString LinkEmulator::stateDir() const { return m_folder ? m_folder->dir() : QString(); }

bool LinkEmulator::startedFresh() const { return m_fresh; }

QString LinkEmulator::stateError() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_stateError;
}

bool LinkEmulator::save()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return saveLocked();
}

bool LinkEmulator::saveLocked()
{
    if (!m_folder || m_unsaved == 0)
        return true;
    if (!m_folderUsable)
        return false;
    QString error;
    if (!m_folder->save(&m_state, m_unsaved, &error)) {
        if (m_stateError.isEmpty())
            m_stateError = error;
        return false;
    }
    m_unsaved = 0;
    m_sinceFolderLook.restart();
    return true;
}

void LinkEmulator::reload()
{
    std::vector<HotPlugEvent> events;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        reloadLocked(events);
    }
    fire(events);
}

void LinkEmulator::reloadLocked(std::vector<HotPlugEvent> &events, bool quick)
{
    if (!m_folder || !m_folderUsable)
        return;
    QString error;
    if (!m_folder->refresh(&m_state, m_unsaved, &error, quick) && m_stateError.isEmpty())
        m_stateError = error;
    m_sinceFolderLook.restart();
    // Another program pulled the Link out or plugged it back in.
    m_link.setConnected(m_state.socket.linkConnected, events);
}

LinkEmulator::LinkLock::LinkLock(LinkEmulator &emulator) : m_emulator(emulator)
{
    if (emulator.m_folder)
        m_file = std::make_unique<FolderLock>(emulator.m_folder->linkLockPath());
}

LinkEmulator::LinkLock::~LinkLock() { unlock(); }

bool LinkEmulator::LinkLock::tryLock()
{
    unlock();
    if (m_file) {
        QString error;
        m_held = m_file->tryLock(&error);
        if (m_held) {
            m_emulator.reload();
        } else if (!error.isEmpty()) {
            // Not another holder but a lock file that cannot be used: the run must say so.
            std::lock_guard<std::mutex> lock(m_emulator.m_mutex);
            if (m_emulator.m_stateError.isEmpty())
                m_emulator.m_stateError = QStringLiteral("cannot use the emulated Link's lock: %1").arg(error);
        }
        return m_held;
    }
    std::lock_guard<std::mutex> lock(m_emulator.m_mutex);
    if (m_emulator.m_memoryLockHolder && m_emulator.m_memoryLockHolder != this)
        return false;
    m_emulator.m_memoryLockHolder = this;
    m_held = true;
    return true;
}

void LinkEmulator::LinkLock::unlock()
{
    if (!m_held)
        return;
    m_emulator.save();
    m_held = false;
    if (m_file) {
        m_file->unlock();
        return;
    }
    std::lock_guard<std::mutex> lock(m_emulator.m_mutex);
    m_emulator.m_memoryLockHolder = nullptr;
}

// --- frames ---

int LinkEmulator::dataLengthFollowing(const uint8_t *frame)
{
    if (frame[0] != LinkCode::Start || frame[1] != LinkCode::Marker)
        return 0;
    switch (frame[2]) {
    case LinkCode::WriteFlashChip: case LinkCode::WriteFlashLink: case LinkCode::WriteBootLoaderChip:
    case LinkCode::WriteBootLoaderLink: case LinkCode::WriteNvrChip: case LinkCode::WriteNvrLink:
    case LinkCode::WriteEepromLink: case LinkCode::IapWriteChunk:
        return std::min<int>(get16(frame + 5), kMaxChunk);
    default:
        return 0;
    }
}

std::vector<QByteArray> LinkEmulator::process(const uint8_t *frame, const QByteArray &data)
{
    std::vector<HotPlugEvent> events;
    std::vector<QByteArray> out;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_link.poll(events);
        if (frame[0] != LinkCode::Start || frame[1] != LinkCode::Marker) {
            out.push_back(answer(kRefusedStatus));
        } else {
            const uint8_t code = frame[2];
            const int use = ++m_uses[code];
            uint32_t address = get16(frame + 3);
            if (m_link.iap() && code == LinkCode::IapWriteChunk)
                address |= uint32_t(get16(frame + 7)) << 16;
            const EmulatorFault *fault = faultFor(code, use, address);
            if (!fault) {
                out = execute(frame, data, events);
            } else {
                switch (fault->kind) {
                case EmulatorFault::FailStatus:
                    if (!EmulatedChip::isBlockRead(code))
                        out.push_back(refusedAt(fault->status, address));
                    break;
                case EmulatorFault::NoAnswer:
                    break;
                case EmulatorFault::ShortAnswer:
                    out.push_back(QByteArray(32, char(LinkCode::Ack)));
                    break;
                case EmulatorFault::NoResponse:
                    out.push_back(QByteArray(64, char(0x15)));
                    break;
                }
            }
        }
    }
    fire(events);
    return out;
}

std::vector<QByteArray> LinkEmulator::execute(const uint8_t *f, const QByteArray &data, std::vector<HotPlugEvent> &events)
{
    const uint8_t code = f[2];
    bool changed = false;
    if (m_link.iap()) {
        Reports out = m_link.execute(m_state.firmware, f, data, events, &changed);
        if (changed)
            m_unsaved |= EmulatorState::Firmware;
        return out;
    }
    if (EmulatedChip::handles(code))
        return executeChip(f, data);
    if (LinkStore::handles(code)) {
        m_state.store.materialize();
        Reports out = LinkStore::execute(m_state.store, f, data, &changed);
        if (changed)
            m_unsaved |= EmulatorState::Store;
        return out;
    }
    switch (code) {
    case LinkCode::GetFwVersion: {
        const LinkFirmwareVersion &v = m_state.firmware.version;
        QByteArray a = ack();
        const uint16_t numbers[3] = {v.h, v.m, v.l};
        for (int i = 0; i < 3; ++i) {
            a[1 + 2 * i] = char(numbers[i] >> 8);
            a[2 + 2 * i] = char(numbers[i] & 0xFF);
        }
        return {a};
    }
    case LinkCode::resetLink:
        m_link.enter(events);
        return {ack()};
    default:
        return {answer(kRefusedStatus)};
    }
}

std::vector<QByteArray> LinkEmulator::executeChip(const uint8_t *f, const QByteArray &data)
{
    const uint8_t code = f[2];
    if (code == LinkCode::InitProgrammer && m_removeAfterInits == 0 && m_state.socket.present) {
        m_state.socket.present = false;
        changeSocketLocked(EmulatorState::ChipPresence);
    }
    bool changed = false;
    Reports out = EmulatedChip::execute(m_state.chip, m_state.socket, f, data, &changed);
    if (changed)
        m_unsaved |= EmulatorState::Chip;
    const bool acked = out.size() == 1 && uint8_t(out[0][0]) == LinkCode::Ack;
    if (code == LinkCode::InitProgrammer && acked && m_removeAfterInits > 0)
        --m_removeAfterInits;
    // An armed failure is used up by the first verify or exit of a pass; it shows only on a pass that
    // would have passed.
    if (m_failNextPass && (code == LinkCode::checkSum || code == LinkCode::ExitProgrammer)) {
        m_failNextPass = false;
        if (acked && code == LinkCode::checkSum) {
            const uint16_t address = get16(f + 3);
            const uint16_t length = get16(f + 5);
            QByteArray a = refusedAt(kRefusedStatus, address);
            const uint16_t sent = sum(m_state.chip.written, address, length);
            const uint16_t onChip = uint16_t(sent + 1);
            a[3] = char(onChip >> 8);
            a[4] = char(onChip & 0xFF);
            a[5] = char(sent >> 8);
            a[6] = char(sent & 0xFF);
            return {a};
        }
        if (acked)
            return {answer(kRefusedStatus)};
    }
    // The end of a chip pass: what it wrote reaches the folder before the next chip; a Link that cannot
    // keep it does not confirm the pass.
    if (code == LinkCode::ExitProgrammer && acked && !saveLocked())
        return {answer(kRefusedStatus)};
    return out;
}
