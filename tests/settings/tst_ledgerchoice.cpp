#include "settings/ledgerchoice.h"
#include "settings/ledgerchoicedialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

// The window's ledger choice: kept beside the program's other state, never with a password; which one is
// in effect; the dialog that sets it.

Q_DECLARE_METATYPE(LedgerChoice)

namespace {
QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}
}

class tst_ledgerchoice : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;
    int m_folders = 0;

    QString newFolder()
    {
        const QString folder = m_tmp.filePath(QString::number(++m_folders));
        QDir().mkpath(folder);
        return folder;
    }

private slots:
    void savedAndLoaded_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("station");
        QTest::addColumn<QString>("operatorName");
        QTest::newRow("sqlite") << QStringLiteral("sqlite:/srv/line/ledger.db") << QStringLiteral("S1") << QStringLiteral("李工");
        QTest::newRow("postgresql with socket folder")
            << QStringLiteral("postgresql://line@/ledger?host=/run/postgresql&sslmode=disable") << QString() << QString();
        QTest::newRow("no ledger") << QString() << QStringLiteral("工位 3") << QStringLiteral("wang");
        QTest::newRow("spaces around") << QStringLiteral("  sqlite:/a b/l.db ") << QStringLiteral(" S2 ") << QStringLiteral(" x ");
    }
    void savedAndLoaded()
    {
        QFETCH(QString, url);
        QFETCH(QString, station);
        QFETCH(QString, operatorName);
        const QString folder = newFolder();
        QString error;
        QVERIFY2(saveLedgerChoice(folder, {url, station, operatorName}, &error), qPrintable(error));
        QString problem = QStringLiteral("unset");
        const LedgerChoice loaded = loadLedgerChoice(folder, &problem);
        QCOMPARE(loaded, (LedgerChoice{url.trimmed(), station.trimmed(), operatorName.trimmed()}));
        QVERIFY(problem.isEmpty());
        // Nothing but the file itself is left in the folder (no temporary file).
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("ledger.choice")});
    }

    // Refused with a reason; the file saved before stays as it was.
    void refusals_data()
    {
        QTest::addColumn<LedgerChoice>("choice");
        QTest::addColumn<QString>("reason");
        QTest::newRow("password in the user part")
            << LedgerChoice{QStringLiteral("postgresql://line:secret@db/ledger"), {}, {}} << QStringLiteral("密码");
        QTest::newRow("password as a keyword")
            << LedgerChoice{QStringLiteral("postgresql://line@db/ledger?password=secret"), {}, {}} << QStringLiteral("密码");
        QTest::newRow("no database") << LedgerChoice{QStringLiteral("postgresql://db"), {}, {}} << QStringLiteral("数据库名");
        QTest::newRow("unknown kind") << LedgerChoice{QStringLiteral("mysql://db/x"), {}, {}} << QStringLiteral("未知");
        QTest::newRow("sqlite without path") << LedgerChoice{QStringLiteral("sqlite:"), {}, {}} << QStringLiteral("路径");
        QTest::newRow("station of two lines")
            << LedgerChoice{QString(), QStringLiteral("S1\nurl=sqlite:/evil.db"), {}} << QStringLiteral("一行");
        QTest::newRow("operator with a control")
            << LedgerChoice{QString(), {}, QStringLiteral("li\tgong")} << QStringLiteral("一行");
    }
    void refusals()
    {
        QFETCH(LedgerChoice, choice);
        QFETCH(QString, reason);
        const QString folder = newFolder();
        const LedgerChoice before{QStringLiteral("sqlite:/kept.db"), QStringLiteral("S9"), QStringLiteral("op")};
        QVERIFY(saveLedgerChoice(folder, before, nullptr));
        const QByteArray bytes = fileBytes(folder + QStringLiteral("/ledger.choice"));
        QString error;
        QVERIFY(!saveLedgerChoice(folder, choice, &error));
        QVERIFY2(error.contains(reason), qPrintable(error));
        QVERIFY(!error.contains(QStringLiteral("secret")));
        QCOMPARE(ledgerChoiceProblem(choice), error);
        QCOMPARE(fileBytes(folder + QStringLiteral("/ledger.choice")), bytes);
        QCOMPARE(loadLedgerChoice(folder), before);
    }

    // A password put into the file by hand is dropped on loading, and said.
    void passwordInTheFileDropped_data()
    {
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("loaded");
        QTest::newRow("user part") << QStringLiteral("postgresql://line:secret@db:5433/ledger")
                                   << QStringLiteral("postgresql://line@db:5433/ledger");
        QTest::newRow("keyword") << QStringLiteral("postgresql://line@db/ledger?sslmode=require&password=secret")
                                 << QStringLiteral("postgresql://line@db/ledger?sslmode=require");
    }
    void passwordInTheFileDropped()
    {
        QFETCH(QString, saved);
        QFETCH(QString, loaded);
        const QString folder = newFolder();
        QFile f(folder + QStringLiteral("/ledger.choice"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("url=" + saved.toUtf8() + "\r\nstation=S1\r\n");
        f.close();
        QString problem;
        const LedgerChoice choice = loadLedgerChoice(folder, &problem);
        QCOMPARE(choice.url, loaded);
        QCOMPARE(choice.station, QStringLiteral("S1"));
        QVERIFY2(problem.contains(QStringLiteral("密码")), qPrintable(problem));
        QVERIFY(ledgerChoiceProblem(choice).isEmpty());
    }

    void missingOrOddFile()
    {
        const QString folder = newFolder();
        QString problem = QStringLiteral("unset");
        QCOMPARE(loadLedgerChoice(folder, &problem), LedgerChoice());
        QVERIFY(problem.isEmpty());
        QFile f(folder + QStringLiteral("/ledger.choice"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("garbage\n=x\nother=1\noperator=李工\n");
        f.close();
        QCOMPARE(loadLedgerChoice(folder), (LedgerChoice{QString(), QString(), QStringLiteral("李工")}));
    }

    void whichChoiceCounts_data()
    {
        QTest::addColumn<LedgerChoice>("commandLine");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<LedgerChoice>("saved");
        QTest::addColumn<LedgerChoice>("effective");
        const QString host = hostStationName();
        const LedgerChoice saved{QStringLiteral("sqlite:/saved.db"), QStringLiteral("S-saved"), QStringLiteral("saved-op")};
        QTest::newRow("saved only") << LedgerChoice() << QString() << saved << saved;
        QTest::newRow("TQ_LEDGER over saved") << LedgerChoice() << QStringLiteral("sqlite:/env.db") << saved
                                              << LedgerChoice{QStringLiteral("sqlite:/env.db"), QStringLiteral("S-saved"), QStringLiteral("saved-op")};
        QTest::newRow("command line over all")
            << LedgerChoice{QStringLiteral("sqlite:/cli.db"), QStringLiteral("S-cli"), QStringLiteral("cli-op")}
            << QStringLiteral("sqlite:/env.db") << saved
            << LedgerChoice{QStringLiteral("sqlite:/cli.db"), QStringLiteral("S-cli"), QStringLiteral("cli-op")};
        QTest::newRow("station from the host") << LedgerChoice() << QString() << LedgerChoice{QStringLiteral("sqlite:/s.db"), {}, {}}
                                               << LedgerChoice{QStringLiteral("sqlite:/s.db"), host, QString()};
        QTest::newRow("nothing") << LedgerChoice() << QString() << LedgerChoice() << LedgerChoice{QString(), host, QString()};
    }
    void whichChoiceCounts()
    {
        QFETCH(LedgerChoice, commandLine);
        QFETCH(QString, environment);
        QFETCH(LedgerChoice, saved);
        QFETCH(LedgerChoice, effective);
        QProcessEnvironment env;
        if (!environment.isEmpty())
            env.insert(QStringLiteral("TQ_LEDGER"), environment);
        QCOMPARE(effectiveLedgerChoice(commandLine, env, saved), effective);
    }

    // The dialog shows the saved choice; a refused one is said in the dialog, which stays open with nothing
    // saved; a good one is saved and announced.
    void dialogSavesOrSaysWhy()
    {
        const QString folder = newFolder();
        QVERIFY(saveLedgerChoice(folder, {QStringLiteral("sqlite:/old.db"), QStringLiteral("S1"), QString()}, nullptr));
        LedgerChoiceDialog dialog(folder);
        dialog.show();
        auto *url = dialog.findChild<QLineEdit *>(QStringLiteral("ledgerUrl"));
        auto *station = dialog.findChild<QLineEdit *>(QStringLiteral("ledgerStation"));
        auto *op = dialog.findChild<QLineEdit *>(QStringLiteral("ledgerOperator"));
        auto *problem = dialog.findChild<QLabel *>(QStringLiteral("ledgerProblem"));
        QVERIFY(url && station && op && problem);
        QCOMPARE(url->text(), QStringLiteral("sqlite:/old.db"));
        QCOMPARE(station->text(), QStringLiteral("S1"));
        QCOMPARE(station->placeholderText(), hostStationName());
        qRegisterMetaType<LedgerChoice>();
        QSignalSpy saved(&dialog, &LedgerChoiceDialog::saved);

        url->setText(QStringLiteral("postgresql://line:secret@db/ledger"));
        dialog.accept();
        QVERIFY(dialog.isVisible());
        QVERIFY(problem->isVisible());
        // The reason takes room of its own: the fields keep theirs.
        QVERIFY2(url->height() >= url->sizeHint().height(), qPrintable(QString::number(url->height())));
        QVERIFY2(problem->text().contains(QStringLiteral("密码")), qPrintable(problem->text()));
        QCOMPARE(saved.count(), 0);
        QCOMPARE(loadLedgerChoice(folder).url, QStringLiteral("sqlite:/old.db"));

        url->setText(QStringLiteral("postgresql://line@db/ledger"));
        op->setText(QStringLiteral("李工"));
        dialog.accept();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(saved.count(), 1);
        const LedgerChoice want{QStringLiteral("postgresql://line@db/ledger"), QStringLiteral("S1"), QStringLiteral("李工")};
        QCOMPARE(loadLedgerChoice(folder), want);
    }
};

QTEST_MAIN(tst_ledgerchoice)
#include "tst_ledgerchoice.moc"
