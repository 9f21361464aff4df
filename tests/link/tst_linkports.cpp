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

} // namespace

class TestLinkPorts : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { setHidBackend(nullptr); }

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
};

QTEST_APPLESS_MAIN(TestLinkPorts)
#include "tst_linkports.moc"
