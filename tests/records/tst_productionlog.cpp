#include "support/testfiles.h"
#include "records/productionlog.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
const QByteArray kBom = QByteArrayLiteral("\xEF\xBB\xBF");

ProductionRecord chip(int result, const QString &text)
{
    ProductionRecord r;
    r.time = QDateTime(QDate(2026, 12, 10), QTime(8, 30, 0));
    r.chipModel = QStringLiteral("VR5K2610");
    r.chipId = 0x2610;
    r.areas = QStringList{QStringLiteral("rom")};
    r.checksums = QStringList{QStringLiteral("64BC")};
    r.result = result;
    r.text = text;
    return r;
}
}

class TestProductionLog : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    // A spreadsheet on a Chinese Windows reads a new record right only with the byte-order mark; CRLF ends
    // every line, the header's included, on every platform.
    void aNewRecordIsUtf8WithAMarkAndCrlf()
    {
        const QString file = path(QStringLiteral("新记录.csv"));
        {
            ProductionLog log;
            QVERIFY(log.open(file));
            QVERIFY(log.append(chip(0, QStringLiteral("烧写成功"))));
            QVERIFY(log.append(chip(6, QStringLiteral("写入或校验FLASH失败"))));
        }
        const QByteArray expected = kBom + ProductionLog::header().toUtf8() + "\r\n"
                                    + QStringLiteral("2026-12-10 08:30:00,VR5K2610,2610,rom,64BC,0,烧写成功\r\n"
                                                     "2026-12-10 08:30:00,VR5K2610,2610,rom,64BC,6,写入或校验FLASH失败\r\n")
                                          .toUtf8();
        QCOMPARE(readFile(file), expected);
        // Opened again, the record goes on in its form: no second mark or header.
        {
            ProductionLog log;
            QVERIFY(log.open(file));
            QVERIFY(log.append(chip(4, QStringLiteral("芯片型号不对"))));
        }
        const QByteArray again = readFile(file);
        QVERIFY(again.startsWith(expected));
        QCOMPARE(again.mid(expected.size()),
                 QStringLiteral("2026-12-10 08:30:00,VR5K2610,2610,rom,64BC,4,芯片型号不对\r\n").toUtf8());
        QCOMPARE(again.count(kBom), 1);
    }

    // An existing record keeps its own form: what a line script or an earlier version started is not mixed.
    void appendingKeepsTheFilesOwnForm_data()
    {
        QTest::addColumn<QByteArray>("existing");
        QTest::addColumn<QByteArray>("appended");  // what follows the existing bytes
        const QByteArray header = ProductionLog::header().toUtf8();
        const QByteArray line = "2026-12-10 08:30:00,VR5K2610,2610,rom,64BC,0,OK";
        QTest::newRow("LF, no mark") << header + "\n" << line + "\n";
        QTest::newRow("CRLF with the mark") << kBom + header + "\r\n" << line + "\r\n";
        QTest::newRow("CRLF, no mark") << header + "\r\n" << line + "\r\n";
        QTest::newRow("LF, last line cut") << header + "\nx,y" << "\n" + line + "\n";
        QTest::newRow("CRLF, last line cut") << header + "\r\nx,y" << "\r\n" + line + "\r\n";
        QTest::newRow("the mark alone") << kBom << header + "\r\n" + line + "\r\n";
        QTest::newRow("one line without an end") << QByteArray("notes") << "\n" + line + "\n";
    }

    void appendingKeepsTheFilesOwnForm()
    {
        QFETCH(QByteArray, existing);
        QFETCH(QByteArray, appended);
        const QString file = path(QStringLiteral("old.csv"));
        QVERIFY(writeFile(file, existing));
        ProductionLog log;
        QVERIFY(log.open(file));
        QVERIFY(log.append(chip(0, QStringLiteral("OK"))));
        QCOMPARE(readFile(file), existing + appended);
    }

    // Readers take both forms alike.
    void bothFormsReadAlike()
    {
        const QStringList expected{ProductionLog::header(), QStringLiteral("a,烧写成功"), QStringLiteral("b,\"x\"")};
        const QByteArray lf = expected.join(QLatin1Char('\n')).toUtf8() + '\n';
        const QByteArray crlf = kBom + expected.join(QStringLiteral("\r\n")).toUtf8() + "\r\n";
        QCOMPARE(ProductionLog::recordLines(lf), expected);
        QCOMPARE(ProductionLog::recordLines(crlf), expected);
        QCOMPARE(ProductionLog::recordLines(crlf.chopped(2)), expected);  // a last line without its end
        QCOMPARE(ProductionLog::recordLines(QByteArray()), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestProductionLog)
#include "tst_productionlog.moc"
