// The emulator's state folder: its file format, when it is written, how programs on one folder share it,
// and the emulated Link's own lock.
#include "../link/linktesthelpers.h"
#include "emulator/emulatorbackend.h"
#include "emulator/emulatorstate.h"
#include "emulator/linkemulator.h"
#include "emulator/statefolder.h"
#include "emulator/statefolderio.h"
#include "link/devicelock.h"
#include "link/linkcommands.h"
#include "link/timing.h"
#include "production/productionsettings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cstring>

#include <memory>

Q_DECLARE_METATYPE(std::function<void(QByteArray &)>)

namespace {
QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A state with something in every part.
EmulatorState sampleState()
{
    EmulatorState s;
    s.socket = {false, 0x4471};
    s.chip.flash[0] = 0x12;
    s.chip.flash[0xFFFF] = 0x34;
    s.chip.written[0] = 0x12;
    s.chip.nvr[100] = 0x00;
    s.chip.eeprom[0x7FF] = 0x55;
    s.chip.map = {2, 3, 1, 5, 2, 32, 0};
    s.store.materialize();
    s.store.flash[7] = 0x77;
    s.store.bootLoader[0x1FFF] = 0x01;
    s.store.eeprom[1] = 0x02;
    s.store.nvr[0x1A00] = 0x03;
    s.store.settings[0] = 0x04;
    s.firmware.version = {300, 65535, 7};
    s.firmware.writableImage()[0] = 0xAB;
    s.firmware.end = 4096;  // a firmware whose tail is 0xFF keeps its length
    return s;
}

bool sameState(const EmulatorState &a, const EmulatorState &b)
{
    return a.socket.present == b.socket.present && a.socket.chipId == b.socket.chipId && a.chip.flash == b.chip.flash
           && a.chip.written == b.chip.written && a.chip.nvr == b.chip.nvr && a.chip.eeprom == b.chip.eeprom
           && std::memcmp(&a.chip.map, &b.chip.map, sizeof a.chip.map) == 0 && a.store.flash == b.store.flash
           && a.store.bootLoader == b.store.bootLoader && a.store.eeprom == b.store.eeprom && a.store.nvr == b.store.nvr
           && a.store.settings == b.store.settings && a.firmware.version == b.firmware.version
           && a.firmware.image == b.firmware.image && a.firmware.end == b.firmware.end;
}

// One program on an emulated Link: the emulator, its backend installed, and the commands.
struct Program
{
    explicit Program(const QString &dir) : emu(dir), backend(emu)
    {
        emu.setRealTimeClock(false);
        setHidBackend(&backend);
    }
    ~Program() { setHidBackend(nullptr); }

    // One chip pass as a burn sends it; true when the Link confirmed it.
    bool burnPass(const QByteArray &image, bool exit = true)
    {
        std::memcpy(g_ucBinBuf, image.constData(), size_t(image.size()));
        g_nBinSize = uint32_t(image.size());
        int position = -1;
        const bool ok = link.InitProgrammer() == 0 && link.EraseFlash() == 0
                        && link.WriteToFlash(position, LinkCode::WriteFlashChip) == 0
                        && link.checkSum(0, uint16_t(image.size()), position) == 0;
        return ok && (!exit || link.ExitProgrammer() == 0);
    }

    LinkEmulator emu;
    EmulatorBackend backend;
    LinkCommands link;
};

QString statePath(const QTemporaryDir &dir) { return dir.filePath(QStringLiteral("emulator.state")); }
} // namespace

class TestStateFolder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setLinkTimeScale(0);
        selectChip(QStringLiteral("VR5K2610"));
        resetImages();
        resetProduction();
    }

    void stateFileRoundTrip()
    {
        const EmulatorState state = sampleState();
        EmulatorState back;
        uint64_t generation = 0;
        QString error;
        QVERIFY2(EmulatorStateFile::decode(EmulatorStateFile::encode(state, 42), &back, &generation, &error),
                 qPrintable(error));
        QCOMPARE(generation, uint64_t(42));
        QVERIFY(sameState(state, back));
        // Erased memories take no room: a blank Link is a small file.
        QVERIFY(EmulatorStateFile::encode(EmulatorState(), 1).size() < 200);
    }

    // The checksum is the zlib CRC-32 of everything after it, so the folders of earlier versions stay readable
    // (the value below is zlib.crc32 over the generation, the body's length and the body, as the file has them).
    void theChecksumIsZlibsCrc32()
    {
        QByteArray body;
        for (int i = 0; i < 3 * 256; ++i)
            body.append(char(i));
        body.append("123456789");
        const QByteArray sealed = EmulatorStateFile::seal(body, 5);
        QCOMPARE(qFromLittleEndian<quint32>(sealed.constData() + 12), quint32(0x7f0bb360));
    }

    // The plug and the generation are read from the start of the file alone; anything else there counts as
    // plugged in, so that using the folder says what is wrong with it.
    void theStartOfTheFileTellsThePlug_data()
    {
        QTest::addColumn<bool>("connected");
        QTest::addColumn<int>("keep");  // bytes of the file kept, -1 all
        QTest::addColumn<bool>("pluggedIn");
        QTest::newRow("plugged in") << true << -1 << true;
        QTest::newRow("pulled out") << false << -1 << false;
        QTest::newRow("pulled out, only the start") << false << int(EmulatorStateFile::kPeekBytes) << false;
        QTest::newRow("pulled out, header without the socket") << false << int(EmulatorStateFile::kHeaderBytes) << true;
        QTest::newRow("empty") << false << 0 << true;
    }

    void theStartOfTheFileTellsThePlug()
    {
        QFETCH(bool, connected);
        QFETCH(int, keep);
        QFETCH(bool, pluggedIn);
        EmulatorState state = sampleState();
        state.socket.linkConnected = connected;
        const QByteArray bytes = EmulatorStateFile::encode(state, 9);
        const QByteArray start = keep < 0 ? bytes : bytes.left(keep);
        bool seen = !connected;
        QCOMPARE(EmulatorStateFile::peekLinkConnected(start, &seen), keep < 0 || keep >= EmulatorStateFile::kPeekBytes);
        if (keep < 0 || keep >= EmulatorStateFile::kPeekBytes)
            QCOMPARE(seen, connected);
        QTemporaryDir dir;
        QVERIFY(writeBytes(statePath(dir), start));
        QCOMPARE(StateFolder(dir.path()).linkPluggedIn(), pluggedIn);

        // A head read takes the first bytes, all of a shorter file.
        QByteArray head;
        QString error;
        QCOMPARE(readRegularFile(statePath(dir), EmulatorStateFile::kMaxSize, &head, &error, EmulatorStateFile::kHeaderBytes),
                 StateRead::Read);
        QCOMPARE(head, start.left(EmulatorStateFile::kHeaderBytes));
    }

    void damagedStateFileIsRefused_data()
    {
        using Damage = std::function<void(QByteArray &)>;
        QTest::addColumn<Damage>("damage");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty") << Damage([](QByteArray &b) { b.clear(); }) << "not an emulator state file";
        QTest::newRow("other file") << Damage([](QByteArray &b) { b[0] = 'X'; }) << "not an emulator state file";
        QTest::newRow("later format") << Damage([](QByteArray &b) { b[8] = 2; }) << "format";
        QTest::newRow("cut short") << Damage([](QByteArray &b) { b.chop(1); }) << "truncated";
        QTest::newRow("torn tail") << Damage([](QByteArray &b) { b.append('\0'); }) << "truncated";
        QTest::newRow("bit flip in a memory") << Damage([](QByteArray &b) { b[b.size() / 2] = char(b[b.size() / 2] ^ 0x10); })
                                             << "checksum";
        QTest::newRow("bit flip in the generation") << Damage([](QByteArray &b) { b[16] = char(b[16] ^ 1); }) << "checksum";
    }

    void damagedStateFileIsRefused()
    {
        QFETCH(std::function<void(QByteArray &)>, damage);
        QFETCH(QString, reason);
        QByteArray bytes = EmulatorStateFile::encode(sampleState(), 7);
        damage(bytes);
        EmulatorState state;
        uint64_t generation = 0;
        QString error;
        QVERIFY(!EmulatorStateFile::decode(bytes, &state, &generation, &error));
        QVERIFY2(error.contains(reason), qPrintable(error));
        QVERIFY(sameState(state, EmulatorState()));  // untouched

        // A folder holding it is refused with the reason, and the file is kept for a look.
        QTemporaryDir dir;
        QVERIFY(writeBytes(statePath(dir), bytes));
        {
            LinkEmulator emu(dir.path());
            QVERIFY2(emu.stateError().contains(QStringLiteral("damaged")), qPrintable(emu.stateError()));
            QVERIFY(!emu.setChipPresent(false));
        }
        QCOMPARE(fileBytes(statePath(dir)), bytes);
    }

    void foldersThatCannotBeUsed()
    {
        QTemporaryDir dir;
        // An earlier version's state is not taken for a blank Link.
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("state.ini")), "[chip]\npresent=true\n"));
        QVERIFY(LinkEmulator(dir.path()).stateError().contains(QStringLiteral("earlier version")));
        // A file where the folder belongs.
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("file")), "x"));
        QVERIFY(LinkEmulator(dir.filePath(QStringLiteral("file"))).stateError().contains(QStringLiteral("not a folder")));
        // A state file that is a folder.
        QTemporaryDir other;
        QVERIFY(QDir(other.path()).mkdir(QStringLiteral("emulator.state")));
        QVERIFY(LinkEmulator(other.path()).stateError().contains(QStringLiteral("not a regular file")));
    }

    // Left-over lock files from a crashed program mean nothing; its half-written state is cleared away.
    void leftOversOfACrashNeverBlock()
    {
        QTemporaryDir dir;
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("state.lock")), ""));
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("link.lock")), "12345"));
        QVERIFY(writeBytes(dir.filePath(QStringLiteral(".emulator.state.a1B2c3")), "TQEMU"));
        QElapsedTimer timer;
        timer.start();
        LinkEmulator emu(dir.path());
        QVERIFY(emu.stateError().isEmpty());
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral(".emulator.state.a1B2c3"))));
        QVERIFY(emu.setChipId(0x2620));
        LinkEmulator::LinkLock lock(emu);
        QVERIFY(lock.tryLock());
        QVERIFY(timer.elapsed() < StateFolderLockWait);
    }

    void aFolderHeldLockedIsRefusedClearly()
    {
        QTemporaryDir dir;
        FolderLock other(dir.filePath(QStringLiteral("state.lock")));
        QString error;
        QVERIFY(other.tryLock(&error));
        LinkEmulator emu(dir.path());
        QVERIFY2(emu.stateError().contains(QStringLiteral("busy")), qPrintable(emu.stateError()));
        other.unlock();
        LinkEmulator again(dir.path());
        QVERIFY(again.stateError().isEmpty());
        QVERIFY(other.tryLock(&error));
        QVERIFY(!again.setChipPresent(false));  // waited, then gave up
        QVERIFY(again.stateError().contains(QStringLiteral("busy")));
    }

    // Nothing is written while nothing changes; what a pass changed is written once, at its end.
    void writtenOnceAtTheEndOfAPass()
    {
        QTemporaryDir dir;
        Program program(dir.path());
        QVERIFY(program.emu.setChipId(0x2610));
        QCOMPARE(program.link.WriteToNvrInfomation(), 0);
        QVERIFY(program.emu.save());
        const QByteArray before = fileBytes(statePath(dir));
        QVERIFY(!before.isEmpty());

        // Polling for a chip, sending the same map, reading, asking for versions: nothing changes, nothing is
        // written.
        uint16_t id = 0, h, m, l;
        for (int i = 0; i < 20; ++i) {
            QCOMPARE(program.link.WriteToNvrInfomation(), 0);
            QCOMPARE(program.link.InitProgrammer(), 0);
            QCOMPARE(program.link.CheckID(id), 0);
            QCOMPARE(program.link.GetFwVersion(h, m, l), 0);
            QCOMPARE(program.link.ExitProgrammer(), 0);
        }
        QVERIFY(program.emu.save());
        QCOMPARE(fileBytes(statePath(dir)), before);

        // A pass in progress stays in memory; its end reaches the folder.
        const QByteArray image(300, 0x5C);
        QVERIFY(program.burnPass(image, false));
        QCOMPARE(fileBytes(statePath(dir)), before);
        QCOMPARE(program.link.ExitProgrammer(), 0);
        EmulatorState saved;
        uint64_t generation = 0;
        QString error;
        QVERIFY(EmulatorStateFile::decode(fileBytes(statePath(dir)), &saved, &generation, &error));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(saved.chip.flash.data()), 301), image + char(0xFF));
    }

    // A quick look (polling) skips only a file nobody replaced: each save by another program, also two in a
    // row between two looks and the file's removal, is seen.
    void aQuickLookSeesEveryReplacement()
    {
        QTemporaryDir dir;
        StateFolder mine(dir.path());
        StateFolder other(dir.path());
        EmulatorState state;
        bool fresh = false;
        QString error;
        QVERIFY2(mine.load(&state, &fresh, &error), qPrintable(error));
        EmulatorState theirs;
        QVERIFY(other.load(&theirs, &fresh, &error));
        uint16_t id = 0x3000;
        const auto save = [&] {
            theirs.socket.chipId = ++id;
            QVERIFY2(other.save(&theirs, EmulatorState::SocketChipId, &error), qPrintable(error));
        };
        save();
        QVERIFY(mine.refresh(&state, 0, &error, true));
        QCOMPARE(state.socket.chipId, id);
        QVERIFY(mine.refresh(&state, 0, &error, true));  // nothing new: the same state
        QCOMPARE(state.socket.chipId, id);
        save();
        save();
        QVERIFY(mine.refresh(&state, 0, &error, true));
        QCOMPARE(state.socket.chipId, id);
        // Written over in place (no program of ours does that): a look that is not quick still reads it.
        theirs.socket.chipId = 0x4470;
        QFile file(statePath(dir));
        QVERIFY(file.open(QIODevice::ReadWrite));
        const QByteArray bytes = EmulatorStateFile::encode(theirs, 99);
        QCOMPARE(file.write(bytes), qint64(bytes.size()));
        file.close();
        QVERIFY(mine.refresh(&state, 0, &error, false));
        QCOMPARE(state.socket.chipId, uint16_t(0x4470));
    }

    // What another program does to the socket arrives at the next poll and is never written over.
    void socketChangesFromOutsideArriveAndStay()
    {
        QTemporaryDir dir;
        Program program(dir.path());
        QVERIFY(program.burnPass(QByteArray(200, 0x11)));
        {
            LinkEmulator outside(dir.path());  // tarnquill-cli emulator DIR --remove --chip-id 2620
            QVERIFY(outside.setChipPresent(false));
            QVERIFY(outside.setChipId(0x2620));
        }
        QTest::qWait(LinkEmulator::kFolderPollMs + 5);
        program.emu.poll();
        QVERIFY(!program.emu.chipPresent());
        QCOMPARE(program.emu.chipId(), uint16_t(0x2620));
        QCOMPARE(program.link.InitProgrammer(), 1);  // no chip

        // The program's own change of the chip goes in beside it.
        {
            LinkEmulator outside(dir.path());
            QVERIFY(outside.setChipPresent(true));
        }
        program.emu.reload();
        QVERIFY(program.burnPass(QByteArray(200, 0x22)));
        LinkEmulator after(dir.path());
        QCOMPARE(after.chipId(), uint16_t(0x2620));
        QVERIFY(after.chipPresent());
        QCOMPARE(after.chipFlash().left(200), QByteArray(200, 0x22));
    }

    // Two programs changing different parts of one folder at once both keep their change.
    void changesOfTwoProgramsMerge()
    {
        QTemporaryDir dir;
        Program program(dir.path());
        QVERIFY(program.burnPass(QByteArray(100, 0x33), false));  // a pass under way
        {
            LinkEmulator outside(dir.path());  // tarnquill-cli emulator DIR --fw 2.3.4
            outside.setFirmwareVersion({2, 3, 4});
            QVERIFY(outside.save());
        }
        QCOMPARE(program.link.ExitProgrammer(), 0);
        LinkEmulator after(dir.path());
        QVERIFY(after.firmwareVersion() == (LinkFirmwareVersion{2, 3, 4}));
        QCOMPARE(after.chipFlash().left(100), QByteArray(100, 0x33));
    }

    // Two programs changing different fields of the socket: each writes back its own field only, so a change
    // that finished in between is never undone by the other program's stale copy.
    void socketFieldsOfTwoProgramsMerge_data()
    {
        QTest::addColumn<int>("first");   // the change the early program makes last
        QTest::addColumn<int>("second");  // the change another program finishes in between
        enum { Remove, ChipId, Unplug };
        QTest::newRow("chip id over a removal") << int(ChipId) << int(Remove);
        QTest::newRow("removal over a chip id") << int(Remove) << int(ChipId);
        QTest::newRow("chip id over an unplug") << int(ChipId) << int(Unplug);
        QTest::newRow("unplug over a removal") << int(Unplug) << int(Remove);
        QTest::newRow("removal over an unplug") << int(Remove) << int(Unplug);
    }

    void socketFieldsOfTwoProgramsMerge()
    {
        QFETCH(int, first);
        QFETCH(int, second);
        QTemporaryDir dir;
        const auto change = [](LinkEmulator &emu, int what) {
            switch (what) {
            case 0: QVERIFY(emu.setChipPresent(false)); break;
            case 1: QVERIFY(emu.setChipId(0x4470)); break;
            default: emu.setConnected(false); QVERIFY(emu.stateError().isEmpty()); break;
            }
        };
        { LinkEmulator(dir.path()).setChipId(0x2610); }
        LinkEmulator early(dir.path());  // read the folder before the other program's change
        {
            LinkEmulator between(dir.path());
            change(between, second);
        }
        change(early, first);
        LinkEmulator after(dir.path());
        for (int what : {first, second}) {
            switch (what) {
            case 0: QVERIFY(!after.chipPresent()); break;
            case 1: QCOMPARE(after.chipId(), uint16_t(0x4470)); break;
            default: QVERIFY(!StateFolder(dir.path()).linkPluggedIn()); break;
            }
        }
    }

    // A folder that cannot take the state fails the pass instead of confirming it.
    void aPassThatCannotBeKeptFails()
    {
        QTemporaryDir dir;
        Program program(dir.path());
        QVERIFY(program.burnPass(QByteArray(100, 0x44), false));
        QVERIFY(QDir(dir.path()).remove(QStringLiteral("emulator.state")) || !QFile::exists(statePath(dir)));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("emulator.state")));
        QCOMPARE(program.link.ExitProgrammer(), 1);
        QVERIFY(!program.emu.stateError().isEmpty());
    }

    void theLinkLockBelongsToTheFolder()
    {
        QTemporaryDir one, two;
        LinkEmulator a(one.path()), b(one.path()), c(two.path()), inMemory;
        LinkEmulator::LinkLock lockA(a), lockB(b), lockC(c), memory1(inMemory), memory2(inMemory);
        // Real Links' machine-wide lock held elsewhere stops no emulated Link.
        QVERIFY(getmutex());
        QVERIFY(lockA.tryLock());
        QVERIFY(!lockB.tryLock());  // a second program on the same folder
        QVERIFY(lockC.tryLock());   // another folder
        QVERIFY(memory1.tryLock());
        QVERIFY(!memory2.tryLock());
        QVERIFY(memory1.tryLock());  // its own hold again
        releaseMutex();
        lockA.unlock();
        QVERIFY(lockB.tryLock());
        memory1.unlock();
        QVERIFY(memory2.tryLock());
    }

    // Taking the lock brings a program up to what the last holder left in the folder.
    void takingTheLockReloads()
    {
        QTemporaryDir dir;
        LinkEmulator window(dir.path());
        {
            Program cli(dir.path());
            LinkEmulator::LinkLock lock(cli.emu);
            QVERIFY(lock.tryLock());
            QVERIFY(cli.burnPass(QByteArray(64, 0x66), false));  // ends without ExitProgrammer
        }
        LinkEmulator::LinkLock lock(window);
        QVERIFY(lock.tryLock());
        QCOMPARE(window.chipFlash().left(64), QByteArray(64, 0x66));
    }

    void firmwareVersionsUpTo65535()
    {
        Program program{QString()};
        program.emu.setFirmwareVersion({65535, 256, 0});
        uint16_t h = 0, m = 0, l = 1;
        QCOMPARE(program.link.GetFwVersion(h, m, l), 0);
        QCOMPARE((QVector<int>{h, m, l}), (QVector<int>{65535, 256, 0}));
    }

private:
    static constexpr int StateFolderLockWait = 1000;
};

QTEST_GUILESS_MAIN(TestStateFolder)
#include "tst_statefolder.moc"
