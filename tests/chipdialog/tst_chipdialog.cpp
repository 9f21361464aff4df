#include "chipdialog/asciivalidator.h"
#include "chipdialog/dialogchiptype.h"

#include "boxes/boxes.h"
#include "chip/mcuinfo.h"
#include "files/cfgdb.h"

#include <QBuffer>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

template <typename T> T *find(QWidget *w, const char *name)
{
    T *child = w->findChild<T *>(QLatin1String(name));
    if (!child)
        qFatal("no %s", name);
    return child;
}

void addRow(DialogChipType *dlg, int model, const QString &name)
{
    find<QComboBox>(dlg, "comboBoxKVOType")->setCurrentIndex(model);
    find<QLineEdit>(dlg, "lineEditCustom")->setText(name);
    find<QPushButton>(dlg, "pushButtonAdd")->click();
}

void clearCfg()
{
    g_strCompany.clear();
    g_nCfgCount = 0;
    for (int i = 0; i < CFG_MAX_ENTRIES; ++i)
        g_strCfgChip[i] = g_strCfgName[i] = QString();
}

} // namespace

class TestChipDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void asciiValidator_data();
    void asciiValidator();
    void customNameField();
    void addRules();
    void deleteRows();
    void writtenCfgReadsBack();
    void refusedChangeKeepsCfgDb_data();
    void refusedChangeKeepsCfgDb();
    void okInstallsLogoAndRestarts();
    void unwritableFolderSaysSo();
    void opensWithTheListCfgDbHolds();

private:
    int m_restarts = 0;
};

void TestChipDialog::initTestCase()
{
    McuList list;
    list.load();
    g_mcuList = list.list();
    DialogChipType::setRestarter([this] { ++m_restarts; });
}

void TestChipDialog::init()
{
    clearCfg();
    m_restarts = 0;
}

void TestChipDialog::cleanup()
{
    clearCfg();
}

void TestChipDialog::asciiValidator_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("acceptable");

    QTest::newRow("printable") << "VR-01 x~" << true;
    QTest::newRow("empty") << "" << true;
    QTest::newRow("Chinese") << "芯片" << false;
    QTest::newRow("accent") << "é" << false;
    QTest::newRow("tab") << "a\tb" << false;
    QTest::newRow("DEL") << QString(QChar(0x7F)) << false;
}

void TestChipDialog::asciiValidator()
{
    QFETCH(QString, text);
    QFETCH(bool, acceptable);
    AsciiValidator v;
    int pos = 0;
    QCOMPARE(v.validate(text, pos) == QValidator::Acceptable, acceptable);
}

void TestChipDialog::customNameField()
{
    QTemporaryDir dir;
    DialogChipType dlg(nullptr, dir.path());
    dlg.setAttribute(Qt::WA_DeleteOnClose, false);
    QCOMPARE(find<QComboBox>(&dlg, "comboBoxKVOType")->count(), g_mcuList.size());
    QCOMPARE(find<QComboBox>(&dlg, "comboBoxKVOType")->itemText(0), g_mcuList.first().strName);
    auto *field = find<QLineEdit>(&dlg, "lineEditCustom");
    QTest::keyClicks(field, QStringLiteral("AB"));
    QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QStringLiteral("芯"), Qt::NoModifier);
    QCOMPARE(field->text(), QStringLiteral("AB"));
    QTest::keyClicks(field, QStringLiteral("CDEFGHIJKL"));
    QCOMPARE(field->text(), QStringLiteral("ABCDEFGHIJ"));
    QCOMPARE(find<QTableWidget>(&dlg, "tableWidgetCustom")->rowCount(), 0);
}

void TestChipDialog::addRules()
{
    boxes::Recorder rec;
    QTemporaryDir dir;
    DialogChipType dlg(nullptr, dir.path());
    dlg.setAttribute(Qt::WA_DeleteOnClose, false);
    addRow(&dlg, 0, QString());
    QCOMPARE(rec.texts(), QStringList{QStringLiteral("自定型号不能为空！")});
    for (int i = 0; i < 100; ++i)
        addRow(&dlg, i % g_mcuList.size(), QStringLiteral("N%1").arg(i));
    QCOMPARE(rec.calls.size(), 1);
    addRow(&dlg, 0, QStringLiteral("N100"));
    QCOMPARE(rec.texts().last(), QStringLiteral("自定义数量已超过100！"));
    auto *table = find<QTableWidget>(&dlg, "tableWidgetCustom");
    QCOMPARE(table->rowCount(), 100);
    QCOMPARE(table->item(99, 1)->text(), QStringLiteral("N99"));
    QCOMPARE(table->editTriggers(), QAbstractItemView::EditTriggers(QAbstractItemView::NoEditTriggers));
}

void TestChipDialog::deleteRows()
{
    QTemporaryDir dir;
    DialogChipType dlg(nullptr, dir.path());
    dlg.setAttribute(Qt::WA_DeleteOnClose, false);
    addRow(&dlg, 0, QStringLiteral("A"));
    addRow(&dlg, 1, QStringLiteral("B"));
    addRow(&dlg, 2, QStringLiteral("C"));
    auto *table = find<QTableWidget>(&dlg, "tableWidgetCustom");
    table->selectRow(1);
    find<QPushButton>(&dlg, "pushButtonDelete")->click();
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(table->item(1, 1)->text(), QStringLiteral("C"));
    addRow(&dlg, 3, QStringLiteral("D"));
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(table->item(2, 1)->text(), QStringLiteral("D"));
}

void TestChipDialog::writtenCfgReadsBack()
{
    QTemporaryDir dir;
    const QString logo = dir.filePath(QStringLiteral("mine.png"));
    QVERIFY(QImage(4, 4, QImage::Format_RGB32).save(logo));
    boxes::Recorder rec;
    boxes::Answer pick;
    pick.text = logo;
    rec.answers.enqueue(pick);
    QPointer<DialogChipType> dlg = new DialogChipType(nullptr, dir.path());
    find<QPushButton>(dlg, "pushButtonLogoPath")->click();
    addRow(dlg, 0, QStringLiteral("MY-A"));
    addRow(dlg, 8, QStringLiteral("MY:B"));
    find<QLineEdit>(dlg, "CompanyNameLineEdit")->setText(QStringLiteral("Acme 公司"));
    find<QPushButton>(dlg, "pushButtonOK")->click();
    QCOMPARE(rec.calls.size(), 1);
    QCOMPARE(m_restarts, 1);

    clearCfg();
    QCOMPARE(readCfgFile(dir.path(), FileMessages()), 0);
    QCOMPARE(g_nCfgCount, 2);
    QCOMPARE(g_strCfgChip[0], g_mcuList.at(0).strName);
    QCOMPARE(g_strCfgName[0], QStringLiteral("MY-A"));
    QCOMPARE(g_strCfgChip[1], g_mcuList.at(8).strName);
    QCOMPARE(g_strCfgName[1], QStringLiteral("MY:B"));
    QCOMPARE(g_strCompany, QStringLiteral("Acme 公司"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestChipDialog::refusedChangeKeepsCfgDb_data()
{
    QTest::addColumn<QString>("logoName");  // empty: none chosen
    QTest::addColumn<bool>("withRow");
    QTest::addColumn<QString>("box");
    QTest::newRow("no logo") << "" << true << "logo文件不存在！";
    QTest::newRow("logo gone") << "gone.png" << true << "logo文件不存在！";
    QTest::newRow("no rows") << "mine.png" << false << "没有自定义型号！";
}

void TestChipDialog::refusedChangeKeepsCfgDb()
{
    QFETCH(QString, logoName);
    QFETCH(bool, withRow);
    QFETCH(QString, box);
    QTemporaryDir dir;
    QVERIFY(QImage(4, 4, QImage::Format_RGB32).save(dir.filePath(QStringLiteral("mine.png"))));
    g_strCompany = QStringLiteral("Before");
    QCOMPARE(writeCfgFile(dir.path()), 0);
    QFile cfg(cfgDbPath(dir.path()));
    QVERIFY(cfg.open(QIODevice::ReadOnly));
    const QByteArray before = cfg.readAll();
    cfg.close();

    boxes::Recorder rec;
    if (!logoName.isEmpty()) {
        boxes::Answer pick;
        pick.text = dir.filePath(logoName);
        rec.answers.enqueue(pick);
    }
    QPointer<DialogChipType> dlg = new DialogChipType(nullptr, dir.path());
    if (!logoName.isEmpty())
        find<QPushButton>(dlg, "pushButtonLogoPath")->click();
    if (withRow)
        addRow(dlg, 0, QStringLiteral("MYCHIP"));
    find<QLineEdit>(dlg, "CompanyNameLineEdit")->setText(QStringLiteral("ACME"));
    find<QPushButton>(dlg, "pushButtonOK")->click();
    QCOMPARE(rec.texts().last(), box);
    QCOMPARE(m_restarts, 0);
    QVERIFY(dlg);
    QVERIFY(cfg.open(QIODevice::ReadOnly));
    QCOMPARE(cfg.readAll(), before);
    QCOMPARE(g_strCompany, QStringLiteral("Before"));
    QCOMPARE(g_nCfgCount, 0);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("logo.png"))));
    delete dlg;
}

void TestChipDialog::okInstallsLogoAndRestarts()
{
    QTemporaryDir dir;
    const QString logo = dir.filePath(QStringLiteral("mine.png"));
    QVERIFY(QImage(4, 4, QImage::Format_RGB32).save(logo));
    QFile old(dir.filePath(QStringLiteral("logo.png")));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    boxes::Recorder rec;
    boxes::Answer pick;
    pick.text = logo;
    rec.answers.enqueue(pick);
    QPointer<DialogChipType> dlg = new DialogChipType(nullptr, dir.path());
    find<QPushButton>(dlg, "pushButtonLogoPath")->click();
    addRow(dlg, 1, QStringLiteral("X1"));
    find<QPushButton>(dlg, "pushButtonOK")->click();
    QCOMPARE(rec.calls.size(), 1);
    QCOMPARE(m_restarts, 1);
    QFile installed(dir.filePath(QStringLiteral("logo.png")));
    QVERIFY(installed.open(QIODevice::ReadOnly));
    QFile source(logo);
    QVERIFY(source.open(QIODevice::ReadOnly));
    QCOMPARE(installed.readAll(), source.readAll());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!dlg);
}

void TestChipDialog::unwritableFolderSaysSo()
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("no/such/folder"));
    const QString logo = dir.filePath(QStringLiteral("mine.png"));
    QVERIFY(QImage(4, 4, QImage::Format_RGB32).save(logo));
    g_strCompany = QStringLiteral("Before");
    boxes::Recorder rec;
    boxes::Answer pick;
    pick.text = logo;
    rec.answers.enqueue(pick);
    QPointer<DialogChipType> dlg = new DialogChipType(nullptr, missing);
    find<QPushButton>(dlg, "pushButtonLogoPath")->click();
    addRow(dlg, 0, QStringLiteral("X"));
    find<QLineEdit>(dlg, "CompanyNameLineEdit")->setText(QStringLiteral("After"));
    find<QPushButton>(dlg, "pushButtonOK")->click();
    QCOMPARE(rec.calls.size(), 2);
    QCOMPARE(rec.calls.at(1).title, QStringLiteral("错误"));
    QVERIFY(rec.calls.at(1).text.contains(QStringLiteral("cfg.db")));
    QCOMPARE(g_strCompany, QStringLiteral("Before"));
    QCOMPARE(g_nCfgCount, 0);
    QCOMPARE(m_restarts, 0);
    QVERIFY(dlg);
    delete dlg;
}

// Saving again keeps the earlier entries, the company and the installed logo; only what was added changes.
void TestChipDialog::opensWithTheListCfgDbHolds()
{
    QTemporaryDir dir;
    const QByteArray logoBytes = [] {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImage(4, 4, QImage::Format_RGB32).save(&buffer, "PNG");
        return bytes;
    }();
    QFile logo(dir.filePath(QStringLiteral("logo.png")));
    QVERIFY(logo.open(QIODevice::WriteOnly));
    logo.write(logoBytes);
    logo.close();
    g_strCompany = QStringLiteral("Acme");
    g_nCfgCount = 2;
    g_strCfgChip[0] = g_mcuList.at(0).strName;
    g_strCfgName[0] = QStringLiteral("OLD-A");
    g_strCfgChip[1] = g_mcuList.at(3).strName;
    g_strCfgName[1] = QStringLiteral("OLD-B");
    QCOMPARE(writeCfgFile(dir.path()), 0);
    clearCfg();
    QCOMPARE(readCfgFile(dir.path(), FileMessages()), 0);

    boxes::Recorder rec;
    QPointer<DialogChipType> dlg = new DialogChipType(nullptr, dir.path());
    auto *table = find<QTableWidget>(dlg, "tableWidgetCustom");
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(table->item(1, 0)->text(), g_mcuList.at(3).strName);
    QCOMPARE(table->item(1, 1)->text(), QStringLiteral("OLD-B"));
    QCOMPARE(find<QLineEdit>(dlg, "CompanyNameLineEdit")->text(), QStringLiteral("Acme"));
    addRow(dlg, 5, QStringLiteral("NEW-C"));
    find<QPushButton>(dlg, "pushButtonOK")->click();
    QVERIFY2(rec.calls.isEmpty(), qPrintable(rec.texts().join(QLatin1Char('|'))));
    QCOMPARE(m_restarts, 1);

    clearCfg();
    QCOMPARE(readCfgFile(dir.path(), FileMessages()), 0);
    QCOMPARE(g_nCfgCount, 3);
    QCOMPARE(g_strCfgName[0], QStringLiteral("OLD-A"));
    QCOMPARE(g_strCfgName[1], QStringLiteral("OLD-B"));
    QCOMPARE(g_strCfgName[2], QStringLiteral("NEW-C"));
    QCOMPARE(g_strCompany, QStringLiteral("Acme"));
    QVERIFY(logo.open(QIODevice::ReadOnly));
    QCOMPARE(logo.readAll(), logoBytes);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QTEST_MAIN(TestChipDialog)
#include "tst_chipdialog.moc"
