#include "link/devicelock.h"
#include "link/hidconnection.h"
#include "link/linkports.h"
#include "link/linkstate.h"
#include "link/portfilterbackend.h"

#include <QtTest>

#include <map>

namespace {

// Two or more Links, each path at a port; records which path was opened.
class PortsBackend : public HidBackend
{
public:
    std::map<std::string, QString> ports;  // path -> port, enumerated in path order
    std::string opened;

    int init() override { return 0; }
    int exit() override { return 0; }
    std::vector<std::string> enumerate(uint16_t, uint16_t) override
    {
        std::vector<std::string> paths;
        for (const auto &p : ports)
            paths.push_back(p.first);
        return paths;
    }
    HidHandle openPath(const char *path) override
    {
        opened = path;
        return this;
    }
    int write(HidHandle, const uint8_t *, size_t length) override { return int(length); }
    int readTimeout(HidHandle, uint8_t *, size_t, int) override { return 0; }
    void close(HidHandle) override {}
};

// Places /dev/hidrawN at port 1-1.N, as sysfs would.
LinkLocation hubPort(const QString &path)
{
    return {QStringLiteral("1-1.") + path.mid(int(qstrlen("/dev/hidraw"))), false};
}

} // namespace

class TestLinkPorts : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        setHidBackend(nullptr);
        setLinkLocator(nullptr);
    }

    // The transport opens the last interface it sees; behind the filter that is the chosen Link's, wherever
    // it stands in the enumeration, and a port with no Link opens nothing.
    void filterOpensTheChosenPort_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first of three") << "1-1.2" << "/dev/hidraw1";
        QTest::newRow("middle") << "1-1.3" << "/dev/hidraw2";
        QTest::newRow("last") << "2-4" << "/dev/hidraw3";
        QTest::newRow("no Link there") << "1-1.9" << "";
    }
    void filterOpensTheChosenPort()
    {
        QFETCH(QString, port);
        QFETCH(QString, expected);
        PortsBackend inner;
        inner.ports = {{"/dev/hidraw1", "1-1.2"}, {"/dev/hidraw2", "1-1.3"}, {"/dev/hidraw3", "2-4"}};
        PortFilterBackend filter(inner, port, [&inner](const std::string &path) { return inner.ports[path]; });
        setHidBackend(&filter);
        HidConnection connection;
        QCOMPARE(connection.hidOpen(), !expected.isEmpty());
        QCOMPARE(QString::fromStdString(inner.opened), expected);
    }

    // A Link that re-enumerates in IAP mode comes back under another path at the same port.
    void filterFollowsAReenumeratedLink()
    {
        PortsBackend inner;
        inner.ports = {{"/dev/hidraw1", "1-1.2"}, {"/dev/hidraw2", "1-1.3"}};
        PortFilterBackend filter(inner, QStringLiteral("1-1.2"), [&inner](const std::string &path) { return inner.ports[path]; });
        inner.ports.erase("/dev/hidraw1");
        inner.ports["/dev/hidraw7"] = QStringLiteral("1-1.2");
        QCOMPARE(filter.enumerate(LINK_VENDOR_ID, LINK_PRODUCT_ID), std::vector<std::string>{"/dev/hidraw7"});
    }

    // A one-Link program takes the machine-wide lock and the lock of the Link it opens (the last enumerated),
    // so it never talks to a Link a gang run holds, and a gang run never to the one it uses.
    void oneLinkModeAlsoLocksTheLinkItOpens()
    {
        PortsBackend links;
        links.ports = {{"/dev/hidraw2", "1-1.2"}, {"/dev/hidraw3", "1-1.3"}};
        setHidBackend(&links);
        setLinkLocator(hubPort);
        NamedLock opened(linkLockName(QStringLiteral("1-1.3")).toStdString());
        NamedLock other(linkLockName(QStringLiteral("1-1.2")).toStdString());
        NamedLock machine(kDeviceLockName);

        QVERIFY(getmutex());
        QVERIFY(!opened.tryLock());
        QVERIFY(other.tryLock());  // the Link it does not open stays free
        QVERIFY(releaseMutex());
        QVERIFY(opened.tryLock());

        // That Link held elsewhere: refused, and the machine-wide lock is not kept either.
        QVERIFY(!getmutex());
        QVERIFY(machine.tryLock());
        machine.unlock();
        opened.unlock();
        other.unlock();
        setLinkLocator(nullptr);
    }

    void iapInterfaceNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("iap");
        QTest::newRow("normal") << LINK_INTERFACE_NAME << false;
        QTest::newRow("IAP") << LINK_IAP_INTERFACE_NAME << true;
        QTest::newRow("IAP serial, lower case") << "kvo_link_iap" << true;
        QTest::newRow("hidraw node") << "/dev/hidraw3" << false;
    }
    void iapInterfaceNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, iap);
        QCOMPARE(interfaceNameIsIap(name), iap);
    }

    // Runs last: holding a Link lasts for the rest of the process.
    void aChosenLinkIsHeldForTheWholeRun()
    {
        const std::string name = linkLockName(QStringLiteral("emu7")).toStdString();
        NamedLock elsewhere(name);
        QVERIFY(elsewhere.tryLock());
        QVERIFY(!holdLinkLock(name));
        elsewhere.unlock();
        QVERIFY(holdLinkLock(name));
        QVERIFY(!elsewhere.tryLock());
        // Operations take nothing more: a one-Link program holding the machine-wide lock does not stop it.
        NamedLock machine(kDeviceLockName);
        QVERIFY(machine.tryLock());
        QVERIFY(getmutex());
        QVERIFY(releaseMutex());
        QVERIFY(!elsewhere.tryLock());
    }
};

QTEST_APPLESS_MAIN(TestLinkPorts)
#include "tst_linkports.moc"
