// Two emulated Links at two USB ports, as one machine with a second Link plugged in during a run: the
// operation drives the Link whose lock it took, never the one that enumerated later.

#include "enginetest.h"

#include "link/devicelock.h"
#include "link/linkports.h"

#include "support/queuedspy.h"

#include <QTemporaryDir>

#include <map>

namespace {
const std::string kPathA = "/dev/hidraw2";
const std::string kPathB = "/dev/hidraw3";

LinkLocation twoPorts(const QString &path)
{
    return {path.toStdString() == kPathA ? QStringLiteral("1-1.2") : QStringLiteral("1-1.3"), false};
}

// Link A, and Link B once it is plugged in (enumerated after A). Locks are the machine's named locks.
class TwoLinksBackend : public HidBackend
{
public:
    LinkEmulator a, b;
    std::atomic<bool> bPlugged{false};

    int init() override { return 0; }
    int exit() override { return 0; }
    std::vector<std::string> enumerate(uint16_t vendorId, uint16_t productId) override
    {
        std::vector<std::string> paths;
        if (!m_a.enumerate(vendorId, productId).empty())
            paths.push_back(kPathA);
        if (bPlugged.load() && !m_b.enumerate(vendorId, productId).empty())
            paths.push_back(kPathB);
        return paths;
    }
    HidHandle openPath(const char *path) override
    {
        EmulatorBackend &inner = path == kPathA ? m_a : m_b;
        LinkEmulator &emu = path == kPathA ? a : b;
        if (path != kPathA && !(path == kPathB && bPlugged.load()))
            return nullptr;
        HidHandle h = inner.openPath(emu.interfaceName().toStdString().c_str());
        if (h) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_owner[h] = &inner;
        }
        return h;
    }
    int write(HidHandle h, const uint8_t *data, size_t length) override { return owner(h).write(h, data, length); }
    int readTimeout(HidHandle h, uint8_t *data, size_t length, int ms) override
    {
        return owner(h).readTimeout(h, data, length, ms);
    }
    void close(HidHandle h) override
    {
        owner(h).close(h);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_owner.erase(h);
    }

private:
    EmulatorBackend &owner(HidHandle h)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return *m_owner.at(h);
    }
    EmulatorBackend m_a{a};
    EmulatorBackend m_b{b};
    std::mutex m_mutex;
    std::map<HidHandle, EmulatorBackend *> m_owner;
};
}

class TestTwoLinks : public QObject
{
    Q_OBJECT

    QTemporaryDir m_runtime;

private slots:
    void initTestCase()
    {
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toUtf8());
        setLinkLocator(twoPorts);
        setLinkTimeScale(0);
    }
    void cleanupTestCase() { setLinkLocator(nullptr); }

    // A burn waits for a chip at Link A; Link B, with a chip, is plugged in meanwhile. B must stay untouched.
    void aLinkPluggedInLaterIsNotDriven()
    {
        McuList catalogue;
        catalogue.load();
        g_mcuList = catalogue.list();
        g_mcuList.append(testChip());
        resetImages();
        resetProduction();
        g_currentMcu = testChip();
        g_bI2CMode.store(1);
        fillRandom(g_ucBinBuf, 4096, 7);
        g_nBinSize = 4096;
        g_bEnBin = true;

        TwoLinksBackend links;
        links.a.setChipPresent(false);
        links.b.setChipPresent(true);
        setHidBackend(&links);
        workThread thread;
        QueuedSpy done(&thread, &workThread::sg_burn_chip_done);
        thread.start();
        g_bBurnRunning.store(1);
        QVERIFY(thread.setTask(workThread::TaskBurn));
        QTRY_VERIFY_WITH_TIMEOUT(links.a.commandCount(LinkCode::InitProgrammer) >= 2, 20000);

        links.bPlugged.store(true);
        // B's lock is free: a one-Link program that opened B would be driving it without holding it.
        NamedLock bLock(linkLockName(QStringLiteral("1-1.3")).toStdString());
        QVERIFY(bLock.tryLock());
        const int asked = links.a.commandCount(LinkCode::InitProgrammer);
        QTRY_VERIFY_WITH_TIMEOUT(links.a.commandCount(LinkCode::InitProgrammer) >= asked + 5
                                     || links.b.commandCount(LinkCode::InitProgrammer) > 0, 20000);
        QCOMPARE(links.b.commandCount(LinkCode::InitProgrammer), 0);

        links.a.setChipPresent(true);
        QTRY_VERIFY_WITH_TIMEOUT(!done.isEmpty(), 30000);
        QCOMPARE(done.first().first().toInt(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(thread.currentTask() == workThread::TaskIdle, 20000);
        QCOMPARE(links.a.commandCount(LinkCode::EraseFlash), 1);
        QCOMPARE(links.b.commandCount(LinkCode::EraseFlash), 0);
        QCOMPARE(links.a.chipFlash().left(4096), QByteArray(reinterpret_cast<const char *>(g_ucBinBuf), 4096));

        g_bBurnRunning.store(0);
        g_bBurnChipHandled.store(0);
        thread.requestStop();
        thread.join();
        setHidBackend(nullptr);
    }
};

TQ_ENGINE_TEST_MAIN(TestTwoLinks)
#include "tst_twolinks.moc"
