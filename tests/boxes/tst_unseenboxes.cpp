// tarnquill on a platform nobody sees, with a cfg.db it cannot read: the box that would wait for a click
// forever goes to stderr, and the program ends with a failure status.
#include "support/testfiles.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestUnseenBoxes : public QObject
{
    Q_OBJECT

    static QString windowProgram()
    {
        const QString dir = qEnvironmentVariable("TQ_APP_DIR");
        const QString found = QStandardPaths::findExecutable(QStringLiteral("tarnquill"), {dir});
        return found.isEmpty() ? QDir(dir).filePath(QStringLiteral("tarnquill")) : found;
    }

private slots:
    void badCfgDbEndsTheStart_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QByteArray>("cfg");  // "-": none, "/": a folder
        const QByteArray good = readFile(QDir(qEnvironmentVariable("TQ_APP_DIR")).filePath(QStringLiteral("cfg.db")));
        QByteArray random(4096, '\0');
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(random.data()), random.size() / 4);
        for (const QString &platform : {QStringLiteral("offscreen"), QStringLiteral("minimal")}) {
            const QByteArray name = platform.toLatin1();
            QTest::newRow(name + ", cut") << platform << good.left(good.size() / 2);
            QTest::newRow(name + ", empty") << platform << QByteArray("");
            QTest::newRow(name + ", random") << platform << random;
            QTest::newRow(name + ", missing") << platform << QByteArray("-");
            QTest::newRow(name + ", a folder") << platform << QByteArray("/");
        }
    }

    void badCfgDbEndsTheStart()
    {
        QFETCH(QString, platform);
        QFETCH(QByteArray, cfg);
        QTemporaryDir app;
        QVERIFY(app.isValid());
        const QString cfgPath = app.filePath(QStringLiteral("cfg.db"));
        if (cfg == "/")
            QVERIFY(QDir().mkdir(cfgPath));
        else if (cfg != "-")
            QVERIFY(writeFile(cfgPath, cfg));
        QProcess window;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TQ_APP_DIR"), app.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        window.setProcessEnvironment(environment);
        window.start(windowProgram(), {QStringLiteral("--emulate")});
        QVERIFY(window.waitForStarted());
        if (!window.waitForFinished(60000)) {
            window.kill();
            window.waitForFinished();
            QFAIL("the window waits for a box nobody sees");
        }
        QCOMPARE(window.exitStatus(), QProcess::NormalExit);
        QCOMPARE(window.exitCode(), 1);
        const QString err = QString::fromLocal8Bit(window.readAllStandardError());
#ifndef Q_OS_WIN  // the console there takes the system code page, not UTF-8
        QVERIFY2(err.contains(QStringLiteral("配置文件读取错误,请重新安装软件！")), qPrintable(err));
#endif
    }
};

QTEST_GUILESS_MAIN(TestUnseenBoxes)
#include "tst_unseenboxes.moc"
