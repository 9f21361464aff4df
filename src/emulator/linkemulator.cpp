#include "linkemulator.h"

#include "link/linkcommands.h"
#include "link/linkframe.h"
#include "link/linkstate.h"
#include "link/timing.h"

#include <QDir>
#include <QFile>
#include <QSettings>

#include <algorithm>

namespace {
// Layout of the Link's settings in its store.
constexpr int kBinSizeAt = 0;
constexpr int kBootSizeAt = 4;
constexpr int kRollingAt = 8;
constexpr int kPasswordAt = 20;
constexpr int kPasswordBytes = 61;
constexpr int kLimitAt = 81;
constexpr int kAutoBurnerAt = 85;
constexpr int kWriterCfgAt = 97;
constexpr int kWriterCfgBytes = 61;
constexpr int kSettingsBytes = 158;
constexpr uint32_t kStoreNvrSize = 0x10000;
constexpr uint32_t kStoreBootSize = 0x2000;
constexpr int kMaxChunk = 256;
constexpr uint32_t kIapPage = 2048;

QByteArray answer(uint8_t status)
{
    QByteArray a(64, '\0');
    a[0] = char(status);
    return a;
}

QByteArray ack() { return answer(LinkCode::Ack); }

// Failure status with the failing position + 1 in bytes 1-2.
QByteArray refusedAt(uint8_t status, uint32_t position)
{
    QByteArray a = answer(status);
    a[1] = char((position + 1) & 0xFF);
    a[2] = char(((position + 1) >> 8) & 0xFF);
    return a;
}

// Block read data: whole 64-byte reports, the last one padded with 0xFF.
std::vector<QByteArray> dataReports(const uint8_t *src, int length)
{
    std::vector<QByteArray> out;
    for (int at = 0; at < length; at += 64) {
        QByteArray r(64, char(0xFF));
        std::memcpy(r.data(), src + at, size_t(std::min(64, length - at)));
        out.push_back(r);
    }
    return out;
}

bool isBlockRead(uint8_t code)
{
    switch (code) {
    case LinkCode::ReadFlashChip: case LinkCode::ReadFlashLink: case LinkCode::ReadBootLoaderChip:
    case LinkCode::ReadBootLoaderLink: case LinkCode::ReadNvrChip: case LinkCode::ReadNvrLink:
    case LinkCode::ReadEepromChip: case LinkCode::ReadEepromLink:
        return true;
    default:
        return false;
    }
}

bool isChipCommand(uint8_t code)
{
    switch (code) {
    case LinkCode::InitProgrammer: case LinkCode::CheckID: case LinkCode::EraseFlash: case LinkCode::checkSum:
    case LinkCode::EraseNVRBootLoader: case LinkCode::EraseNVR: case LinkCode::EraseEep:
    case LinkCode::getChipCheckSum: case LinkCode::WriteFlashChip: case LinkCode::WriteBootLoaderChip:
    case LinkCode::WriteNvrChip: case LinkCode::ReadFlashChip: case LinkCode::ReadBootLoaderChip:
    case LinkCode::ReadNvrChip: case LinkCode::ReadEepromChip:
        return true;
    default:
        return false;
    }
}

// Copies data into mem at address; false (nothing written) when it does not fit.
bool store(std::vector<uint8_t> &mem, uint32_t address, const QByteArray &data, bool program = false)
{
    if (address + uint32_t(data.size()) > mem.size())
        return false;
    for (int i = 0; i < data.size(); ++i) {
        const uint8_t b = uint8_t(data[i]);
        mem[address + i] = program ? uint8_t(mem[address + i] & b) : b;
    }
    return true;
}

QByteArray bytesOf(const std::vector<uint8_t> &mem, int at = 0, int length = -1)
{
    if (length < 0)
        length = int(mem.size()) - at;
    return QByteArray(reinterpret_cast<const char *>(mem.data() + at), length);
}
} // namespace

LinkEmulator::LinkEmulator(const QString &stateDir)
    : m_dir(stateDir),
      m_flash(kFlashSize, 0xFF), m_written(kFlashSize, 0xFF), m_nvr(kNvrSize, 0xFF), m_eeprom(kEepromSize, 0xFF),
      m_firmware(kFirmwareSize, 0xFF), m_storeFlash(kFlashSize, 0xFF), m_storeBootLoader(kStoreBootSize, 0xFF),
      m_storeEeprom(kEepromSize, 0xFF), m_storeNvr(kStoreNvrSize, 0xFF), m_storeSettings(kSettingsBytes, 0xFF)
{
    m_elapsed.start();
    if (!m_dir.isEmpty())
        load();
    attachToLinkClock();
}

LinkEmulator::~LinkEmulator()
{
    clearLinkSleepHook(this);
    save();
}

// --- chip ---

void LinkEmulator::setChipPresent(bool present)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_chipPresent = present;
    saveLocked();
}

bool LinkEmulator::chipPresent() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_chipPresent;
}

void LinkEmulator::setChipId(uint16_t id)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_chipId = id;
    saveLocked();
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

uint16_t LinkEmulator::chipId() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_chipId;
}

void LinkEmulator::removeChipAfterInits(int n)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_removeAfterInits = n;
}

QByteArray LinkEmulator::chipFlash() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOf(m_flash);
}

QByteArray LinkEmulator::chipNvr() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOf(m_nvr);
}

QByteArray LinkEmulator::chipEeprom() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOf(m_eeprom);
}

void LinkEmulator::setChipFlash(uint32_t address, const QByteArray &data)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (address >= kFlashSize)
        return;
    const int n = int(std::min<uint32_t>(uint32_t(data.size()), kFlashSize - address));
    std::memcpy(m_flash.data() + address, data.constData(), size_t(n));
}

EmulatorMemoryMap LinkEmulator::memoryMap() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_map;
}

// --- Link ---

void LinkEmulator::setConnected(bool connected)
{
    std::vector<Event> events;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_connected == connected)
            return;
        m_connected = connected;
        ++m_generation;
        if (!m_arrivalPending)
            events.push_back({connected, interfaceNameLocked()});
    }
    fire(events);
}

bool LinkEmulator::connected() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_connected;
}

bool LinkEmulator::iapMode() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_iap;
}

QString LinkEmulator::interfaceName() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return interfaceNameLocked();
}

bool LinkEmulator::interfacePresent() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_connected && !m_arrivalPending;
}

std::array<uint8_t, 4> LinkEmulator::firmwareVersion() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_version;
}

void LinkEmulator::setFirmwareVersion(const std::array<uint8_t, 4> &version)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_version = version;
}

QByteArray LinkEmulator::firmwareImage() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOf(m_firmware, 0, int(m_firmwareEnd));
}

QByteArray LinkEmulator::storeFlash() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOf(m_storeFlash);
}

uint32_t LinkEmulator::storeBinSize() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return get32(m_storeSettings.data() + kBinSizeAt);
}

QByteArray LinkEmulator::storeBootLoader() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOf(m_storeBootLoader);
}

uint32_t LinkEmulator::storeBootLoaderSize() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return get16(m_storeSettings.data() + kBootSizeAt);
}

QByteArray LinkEmulator::storeEeprom() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOf(m_storeEeprom);
}

QByteArray LinkEmulator::storeNvr() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOf(m_storeNvr);
}

QByteArray LinkEmulator::storeRolling() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOf(m_storeSettings, kRollingAt, 12);
}

QByteArray LinkEmulator::storePassword() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOf(m_storeSettings, kPasswordAt, kPasswordBytes);
}

QByteArray LinkEmulator::storeLimit() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOf(m_storeSettings, kLimitAt, 4);
}

QByteArray LinkEmulator::storeAutoBurner() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOf(m_storeSettings, kAutoBurnerAt, 12);
}

QByteArray LinkEmulator::storeWriterCfg() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return bytesOf(m_storeSettings, kWriterCfgAt, kWriterCfgBytes);
}

bool LinkEmulator::storeErased() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto erased = [](const std::vector<uint8_t> &m) {
        return std::all_of(m.begin(), m.end(), [](uint8_t b) { return b == 0xFF; });
    };
    return erased(m_storeFlash) && erased(m_storeBootLoader) && erased(m_storeEeprom) && erased(m_storeNvr)
           && erased(m_storeSettings);
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
    if (m_realTime && !on)
        m_manualMs += m_elapsed.elapsed();
    m_realTime = on;
    m_elapsed.restart();
}

void LinkEmulator::advanceClock(int ms)
{
    std::vector<Event> events;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_manualMs += ms;
        pollLocked(events);
    }
    fire(events);
}

int64_t LinkEmulator::nowMs() const { return m_manualMs + (m_realTime ? m_elapsed.elapsed() : 0); }

void LinkEmulator::poll()
{
    std::vector<Event> events;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        pollLocked(events);
    }
    fire(events);
}

void LinkEmulator::pollLocked(std::vector<Event> &events)
{
    // Transitions fall due one after the other; a long clock step runs through all of them.
    for (;;) {
        const int64_t now = nowMs();
        if (m_arrivalPending) {
            if (now < m_arrivalDueMs)
                return;
            m_arrivalPending = false;
            m_iapEnteredMs = m_arrivalDueMs;
            m_iapCommandSeen = false;
            if (m_connected)
                events.push_back({true, interfaceNameLocked()});
        } else if (m_iap && !m_iapCommandSeen && now - m_iapEnteredMs >= kIapIdleMs) {
            reenumerate(false, events, m_iapEnteredMs + kIapIdleMs);
        } else {
            return;
        }
    }
}

void LinkEmulator::reenumerate(bool iap, std::vector<Event> &events, int64_t atMs)
{
    if (m_connected && !m_arrivalPending)
        events.push_back({false, interfaceNameLocked()});
    m_iap = iap;
    ++m_generation;
    m_arrivalPending = true;
    m_arrivalDueMs = atMs + kReenumerateMs;
}

QString LinkEmulator::interfaceNameLocked() const
{
    return QString::fromLatin1(m_iap ? LINK_IAP_INTERFACE_NAME : LINK_INTERFACE_NAME);
}

void LinkEmulator::attachToLinkClock()
{
    // The Link's notion of time: a pause the time scale shortened still passes in full on this clock.
    setLinkSleepHook(
        [this](int ms) {
            bool realTime;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                realTime = m_realTime;
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

void LinkEmulator::fire(const std::vector<Event> &events)
{
    std::function<void(bool, const QString &)> listener;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        listener = m_listener;
    }
    if (listener)
        for (const Event &e : events)
            listener(e.arrived, e.name);
}

uint64_t LinkEmulator::generation() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_generation;
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
    std::vector<Event> events;
    std::vector<QByteArray> out;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        pollLocked(events);
        if (frame[0] != LinkCode::Start || frame[1] != LinkCode::Marker) {
            out.push_back(answer(kRefusedStatus));
        } else {
            const uint8_t code = frame[2];
            const int use = ++m_uses[code];
            uint32_t address = get16(frame + 3);
            if (m_iap && code == LinkCode::IapWriteChunk)
                address |= uint32_t(get16(frame + 7)) << 16;
            const EmulatorFault *fault = faultFor(code, use, address);
            if (!fault) {
                out = m_iap ? executeIap(frame, data, events) : execute(frame, data, events);
            } else {
                switch (fault->kind) {
                case EmulatorFault::FailStatus:
                    if (!isBlockRead(code))
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

uint32_t LinkEmulator::flashLimit() const
{
    return m_map.flashSizeKB == 0 ? kFlashSize : std::min<uint32_t>(m_map.flashSizeKB * 1024u, kFlashSize);
}

uint16_t LinkEmulator::areaSum(const std::vector<uint8_t> &mem, uint32_t start, uint32_t length) const
{
    uint32_t sum = 0;
    for (uint32_t i = start; i < start + length && i < mem.size(); ++i)
        sum += mem[i];
    return uint16_t(sum);
}

std::vector<QByteArray> LinkEmulator::execute(const uint8_t *f, const QByteArray &data, std::vector<Event> &events)
{
    const uint8_t code = f[2];
    const uint16_t address = get16(f + 3);
    const uint16_t length = get16(f + 5);
    if (isChipCommand(code) && !m_chipPresent) {
        if (isBlockRead(code))
            return {QByteArray(64, char(0x15))};
        return {answer(kNoChipStatus)};
    }
    auto okOrRefused = [&](bool ok) { return std::vector<QByteArray>{ok ? ack() : refusedAt(kRefusedStatus, address)}; };
    auto readFrom = [&](const std::vector<uint8_t> &mem, uint32_t limit) -> std::vector<QByteArray> {
        if (uint32_t(address) + length > std::min<uint32_t>(limit, uint32_t(mem.size())))
            return {};
        return dataReports(mem.data() + address, length);
    };
    switch (code) {
    case LinkCode::InitProgrammer:
        if (m_removeAfterInits == 0)
            m_chipPresent = false;
        if (!m_chipPresent)
            return {answer(kNoChipStatus)};
        if (m_removeAfterInits > 0)
            --m_removeAfterInits;
        return {ack()};
    case LinkCode::ExitProgrammer:
        if (m_failNextPass) {
            m_failNextPass = false;
            return {answer(kRefusedStatus)};
        }
        return {ack()};
    case LinkCode::CheckID: {
        QByteArray a = ack();
        a[1] = char(m_chipId & 0xFF);
        a[2] = char(m_chipId >> 8);
        return {a};
    }
    case LinkCode::EraseFlash:
        std::fill(m_flash.begin(), m_flash.end(), 0xFF);
        std::fill(m_written.begin(), m_written.end(), 0xFF);
        return {ack()};
    case LinkCode::WriteFlashChip:
        if (uint32_t(address) + data.size() > flashLimit())
            return {refusedAt(kRefusedStatus, address)};
        store(m_flash, address, data, true);
        store(m_written, address, data);
        return {ack()};
    case LinkCode::checkSum: {
        const uint32_t end = std::min<uint32_t>(uint32_t(address) + length, kFlashSize);
        // An injected failure reads as a flash that lost its first byte's value.
        const bool injected = m_failNextPass && end > address;
        m_failNextPass = m_failNextPass && !injected;
        for (uint32_t i = address; i < end; ++i) {
            if (m_flash[i] != m_written[i] || injected) {
                QByteArray a = refusedAt(kRefusedStatus, i);
                const uint16_t chip = uint16_t(areaSum(m_flash, address, end - address) + (injected ? 1 : 0));
                const uint16_t sent = areaSum(m_written, address, end - address);
                a[3] = char(chip >> 8);
                a[4] = char(chip & 0xFF);
                a[5] = char(sent >> 8);
                a[6] = char(sent & 0xFF);
                return {a};
            }
        }
        return {ack()};
    }
    case LinkCode::ReadFlashChip:
        return readFrom(m_flash, flashLimit());
    case LinkCode::EraseNVRBootLoader: {
        const uint32_t bytes = std::min<uint32_t>(length * kSectorSize, kNvrSize);
        std::fill(m_nvr.begin(), m_nvr.begin() + bytes, 0xFF);
        return {ack()};
    }
    case LinkCode::WriteBootLoaderChip:
        return okOrRefused(uint32_t(address) + data.size() <= m_map.bootSectors * kSectorSize
                           && store(m_nvr, address, data, true));
    case LinkCode::ReadBootLoaderChip:
        return readFrom(m_nvr, m_map.bootSectors * kSectorSize);
    case LinkCode::EraseNVR:
        if (uint32_t(address) + length > kNvrSize)
            return {refusedAt(kRefusedStatus, address)};
        std::fill(m_nvr.begin() + address, m_nvr.begin() + address + length, 0xFF);
        return {ack()};
    case LinkCode::WriteNvrChip:
        return okOrRefused(store(m_nvr, address, data, true));
    case LinkCode::ReadNvrChip:
        return readFrom(m_nvr, kNvrSize);
    case LinkCode::EraseEep:
        std::fill(m_eeprom.begin(), m_eeprom.end(), 0xFF);
        return {ack()};
    case LinkCode::ReadEepromChip:
        return readFrom(m_eeprom, kEepromSize);
    case LinkCode::getChipCheckSum: {
        const uint32_t mask = get32(f + 3);
        auto page = [](uint8_t p) { return p == 0 ? 0u : (p - 1u) * kSectorSize; };
        const uint16_t sums[6] = {
            areaSum(m_flash, 0, flashLimit()),
            areaSum(m_eeprom, 0, kEepromSize),
            areaSum(m_nvr, 0, kSectorSize),
            areaSum(m_nvr, page(m_map.nvr2Page), m_map.nvr2Sectors * kSectorSize),
            areaSum(m_nvr, page(m_map.nvr3Page), m_map.nvr3Sectors * kSectorSize),
            areaSum(m_nvr, 0, m_map.bootSectors * kSectorSize),
        };
        const uint32_t bits[6] = {0x001, 0x002, 0x004, 0x008, 0x010, 0x100};
        QByteArray a = ack();
        for (int i = 0; i < 6; ++i) {
            if (mask & bits[i]) {
                a[4 + 2 * i] = char(sums[i] & 0xFF);
                a[5 + 2 * i] = char(sums[i] >> 8);
            }
        }
        return {a};
    }
    case LinkCode::WriteToNvrInfomation:
        m_map = {f[3], f[4], f[5], f[6], f[7], f[8], f[9]};
        return {ack()};
    case LinkCode::GetFwVersion: {
        QByteArray a = ack();
        a[2] = char(m_version[0]);
        a[4] = char(m_version[1]);
        a[5] = char(m_version[2]);
        a[6] = char(m_version[3]);
        return {a};
    }
    // The Link's store.
    case LinkCode::WriteFlashLink:
        return okOrRefused(store(m_storeFlash, address, data));
    case LinkCode::ReadFlashLink:
        return readFrom(m_storeFlash, kFlashSize);
    case LinkCode::SendBinSize:
        std::copy(f + 5, f + 9, m_storeSettings.begin() + kBinSizeAt);
        return {ack()};
    case LinkCode::GetBinSize: {
        QByteArray a = ack();
        std::copy(m_storeSettings.begin() + kBinSizeAt, m_storeSettings.begin() + kBinSizeAt + 4, a.begin() + 5);
        return {a};
    }
    case LinkCode::WriteBootLoaderLink:
        return okOrRefused(store(m_storeBootLoader, address, data));
    case LinkCode::ReadBootLoaderLink:
        return readFrom(m_storeBootLoader, kStoreBootSize);
    case LinkCode::SendNVRBootLoaderSize:
        std::copy(f + 5, f + 7, m_storeSettings.begin() + kBootSizeAt);
        return {ack()};
    case LinkCode::GetNVRBootLoaderSize: {
        QByteArray a = ack();
        std::copy(m_storeSettings.begin() + kBootSizeAt, m_storeSettings.begin() + kBootSizeAt + 2, a.begin() + 5);
        return {a};
    }
    case LinkCode::WriteEepromLink:
        return okOrRefused(store(m_storeEeprom, address, data));
    case LinkCode::ReadEepromLink:
        return readFrom(m_storeEeprom, kEepromSize);
    case LinkCode::WriteNvrLink:
        return okOrRefused(store(m_storeNvr, address, data));
    case LinkCode::ReadNvrLink:
        return readFrom(m_storeNvr, kStoreNvrSize);
    case LinkCode::WriteToRolling: case LinkCode::WriteToAotoBurner: case LinkCode::WriteToLimit:
    case LinkCode::WriteToPassword: case LinkCode::WriteToWriterCfg: {
        const int at = code == LinkCode::WriteToRolling ? kRollingAt
                       : code == LinkCode::WriteToAotoBurner ? kAutoBurnerAt
                       : code == LinkCode::WriteToLimit ? kLimitAt
                       : code == LinkCode::WriteToPassword ? kPasswordAt : kWriterCfgAt;
        const int n = code == LinkCode::WriteToLimit ? 4
                      : code == LinkCode::WriteToPassword ? kPasswordBytes
                      : code == LinkCode::WriteToWriterCfg ? kWriterCfgBytes : 12;
        std::copy(f + 3, f + 3 + n, m_storeSettings.begin() + at);
        return {ack()};
    }
    case LinkCode::ReadFromRolling: case LinkCode::ReadFromAotoBurner: case LinkCode::ReadFromLimit:
    case LinkCode::ReadFromWriterCfg: {
        const int at = code == LinkCode::ReadFromRolling ? kRollingAt
                       : code == LinkCode::ReadFromAotoBurner ? kAutoBurnerAt
                       : code == LinkCode::ReadFromLimit ? kLimitAt : kWriterCfgAt;
        const int n = code == LinkCode::ReadFromLimit ? 4 : code == LinkCode::ReadFromWriterCfg ? kWriterCfgBytes : 12;
        QByteArray a = ack();
        std::copy(m_storeSettings.begin() + at, m_storeSettings.begin() + at + n, a.begin() + 3);
        return {a};
    }
    case LinkCode::EraseExFalshDate:
        // The first frame of the sweep wipes the whole store; the Link answers each frame.
        if (address == 0) {
            for (std::vector<uint8_t> *m : {&m_storeFlash, &m_storeBootLoader, &m_storeEeprom, &m_storeNvr, &m_storeSettings})
                std::fill(m->begin(), m->end(), 0xFF);
        }
        return {ack()};
    case LinkCode::resetLink:
        reenumerate(true, events, nowMs());
        return {ack()};
    default:
        return {answer(kRefusedStatus)};
    }
}

std::vector<QByteArray> LinkEmulator::executeIap(const uint8_t *f, const QByteArray &data, std::vector<Event> &events)
{
    const uint8_t code = f[2];
    if (code == LinkCode::resetLink) {
        // Still the boot loader: a new upgrade starts over.
        m_iapEnteredMs = nowMs();
        m_iapCommandSeen = false;
        return {ack()};
    }
    m_iapCommandSeen = true;
    switch (code) {
    case LinkCode::IapErase: {
        const uint32_t bytes = std::min<uint32_t>(get16(f + 5) * kIapPage, kFirmwareSize);
        std::fill(m_firmware.begin(), m_firmware.begin() + bytes, 0xFF);
        m_firmwareEnd = 0;
        return {ack()};
    }
    case LinkCode::IapWriteChunk: {
        const uint32_t offset = get16(f + 3) | (uint32_t(get16(f + 7)) << 16);
        if (!store(m_firmware, offset, data))
            return {refusedAt(kRefusedStatus, offset & 0xFFFF)};
        m_firmwareEnd = std::max<uint32_t>(m_firmwareEnd, offset + uint32_t(data.size()));
        return {ack()};
    }
    case LinkCode::IapCheckSum: {
        const uint16_t sum = areaSum(m_firmware, 0, m_firmwareEnd);
        QByteArray a = ack();
        a[3] = char(sum >> 8);
        a[4] = char(sum & 0xFF);
        return {a};
    }
    case LinkCode::IapWriteVersion:
        std::copy(f + 3, f + 7, m_pendingVersion.begin());
        return {ack()};
    case LinkCode::IapReadVersion: {
        QByteArray a = ack();
        std::copy(m_pendingVersion.begin(), m_pendingVersion.end(), a.begin() + 3);
        return {a};
    }
    case LinkCode::IapRun:
        m_version = m_pendingVersion;
        reenumerate(false, events, nowMs());
        return {ack()};
    default:
        return {answer(kRefusedStatus)};
    }
}

// --- persistence ---

namespace {
bool readInto(const QString &path, std::vector<uint8_t> &mem)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray b = file.read(qint64(mem.size()));
    std::memcpy(mem.data(), b.constData(), size_t(b.size()));
    return true;
}

void writeFrom(const QString &path, const std::vector<uint8_t> &mem)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(reinterpret_cast<const char *>(mem.data()), qint64(mem.size()));
}
} // namespace

std::vector<std::pair<const char *, std::vector<uint8_t> *>> LinkEmulator::persistentAreas()
{
    return {
        {"chip_flash.bin", &m_flash}, {"chip_written.bin", &m_written}, {"chip_nvr.bin", &m_nvr},
        {"chip_eeprom.bin", &m_eeprom}, {"link_flash.bin", &m_storeFlash},
        {"link_bootloader.bin", &m_storeBootLoader}, {"link_eeprom.bin", &m_storeEeprom},
        {"link_nvr.bin", &m_storeNvr}, {"link_settings.bin", &m_storeSettings}, {"link_firmware.bin", &m_firmware},
    };
}

void LinkEmulator::load()
{
    QDir dir(m_dir);
    for (const auto &area : persistentAreas())
        readInto(dir.filePath(QString::fromLatin1(area.first)), *area.second);
    QSettings ini(dir.filePath(QStringLiteral("state.ini")), QSettings::IniFormat);
    m_chipPresent = ini.value(QStringLiteral("chip/present"), true).toBool();
    m_chipId = uint16_t(ini.value(QStringLiteral("chip/id"), kDefaultChipId).toUInt());
    const QByteArray map = ini.value(QStringLiteral("chip/map")).toByteArray();
    if (map.size() == 7)
        m_map = {uint8_t(map[0]), uint8_t(map[1]), uint8_t(map[2]), uint8_t(map[3]),
                 uint8_t(map[4]), uint8_t(map[5]), uint8_t(map[6])};
    const QByteArray version = ini.value(QStringLiteral("link/version")).toByteArray();
    if (version.size() == 4)
        std::copy(version.begin(), version.end(), m_version.begin());
    m_firmwareEnd = std::min<uint32_t>(ini.value(QStringLiteral("link/firmwareEnd"), 0).toUInt(), kFirmwareSize);
}

void LinkEmulator::save()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    saveLocked();
}

void LinkEmulator::saveLocked()
{
    if (m_dir.isEmpty())
        return;
    QDir dir(m_dir);
    dir.mkpath(QStringLiteral("."));
    for (const auto &area : persistentAreas())
        writeFrom(dir.filePath(QString::fromLatin1(area.first)), *area.second);
    QSettings ini(dir.filePath(QStringLiteral("state.ini")), QSettings::IniFormat);
    ini.setValue(QStringLiteral("chip/present"), m_chipPresent);
    ini.setValue(QStringLiteral("chip/id"), m_chipId);
    const EmulatorMemoryMap &m = m_map;
    const char map[7] = {char(m.bootSectors), char(m.nvr2Page), char(m.nvr2Sectors), char(m.nvr3Page),
                         char(m.nvr3Sectors), char(m.flashSizeKB), char(m.i2cMode)};
    ini.setValue(QStringLiteral("chip/map"), QByteArray(map, 7));
    ini.setValue(QStringLiteral("link/version"),
                 QByteArray(reinterpret_cast<const char *>(m_version.data()), 4));
    ini.setValue(QStringLiteral("link/firmwareEnd"), m_firmwareEnd);
    ini.sync();
}
