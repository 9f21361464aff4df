#include "link/sysfslinkports.h"

#include <QtTest>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// Builds the part of a sysfs tree that port discovery reads: the hidraw class link, the HID device under a
// USB interface under a USB device (with its serial attribute), behind a root hub and an optional hub.
class FakeSysfs
{
public:
    QTemporaryDir root;

    // `chain` is the USB device folder chain below usb1, e.g. {"1-1", "1-1.2"}.
    bool addLink(const QString &node, const QStringList &chain, const QByteArray &serial, int hidIndex)
    {
        QString usbDevice = QStringLiteral("devices/pci0000:00/0000:00:14.0/usb1/") + chain.join(QLatin1Char('/'));
        const QString hid = QStringLiteral("%1/%2:1.0/0003:1122:3344.%3").arg(usbDevice, chain.last()).arg(hidIndex, 4, 16, QLatin1Char('0'));
        const QString nodeDir = hid + QStringLiteral("/hidraw/") + node;
        QDir base(root.path());
        if (!base.mkpath(nodeDir) || !base.mkpath(QStringLiteral("class/hidraw")))
            return false;
        QFile serialFile(base.filePath(usbDevice + QStringLiteral("/serial")));
        if (!serialFile.open(QIODevice::WriteOnly) || serialFile.write(serial + '\n') != serial.size() + 1)
            return false;
        serialFile.close();
        // As the kernel lays them out: relative links.
        return QFile::link(QStringLiteral("../../") + nodeDir, base.filePath(QStringLiteral("class/hidraw/") + node))
               && QFile::link(QStringLiteral("../../../") + hid.section(QLatin1Char('/'), -1),
                              base.filePath(nodeDir + QStringLiteral("/device")));
    }
};

// POSIX only: the fake tree needs symbolic links, and sysfs exists only on Linux.
class TestSysfsPorts : public QObject
{
    Q_OBJECT

private slots:
    void portAndMode_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("port");
        QTest::addColumn<bool>("iap");
        QTest::newRow("behind a hub") << "/dev/hidraw3" << "1-1.2" << false;
        QTest::newRow("second hub port") << "/dev/hidraw4" << "1-1.3" << false;
        QTest::newRow("root hub port, IAP mode") << "/dev/hidraw5" << "1-4" << true;
        QTest::newRow("two hubs deep") << "/dev/hidraw6" << "1-1.3.4" << false;
        QTest::newRow("node not in the tree") << "/dev/hidraw9" << "" << false;
        QTest::newRow("not a hidraw node") << "/dev/ttyUSB0" << "" << false;
    }
    void portAndMode()
    {
        QFETCH(QString, path);
        QFETCH(QString, port);
        QFETCH(bool, iap);
        FakeSysfs sysfs;
        QVERIFY(sysfs.addLink(QStringLiteral("hidraw3"), {"1-1", "1-1.2"}, "KVO_LINK0000", 5));
        QVERIFY(sysfs.addLink(QStringLiteral("hidraw4"), {"1-1", "1-1.3"}, "KVO_LINK0000", 6));
        QVERIFY(sysfs.addLink(QStringLiteral("hidraw5"), {"1-4"}, "KVO_LINK_IAP", 7));
        QVERIFY(sysfs.addLink(QStringLiteral("hidraw6"), {"1-1", "1-1.3", "1-1.3.4"}, "KVO_LINK0000", 8));
        const LinkLocation location = sysfsLinkLocation(sysfs.root.path(), path);
        QCOMPARE(location.port, port);
        QCOMPARE(location.iap, iap);
    }
};

QTEST_APPLESS_MAIN(TestSysfsPorts)
#include "tst_sysfsports.moc"
