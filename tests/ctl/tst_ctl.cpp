// skarn-mousectl against the virtual program under Xvfb: started from
// nothing, each command's effect on the simulated mouse, the settings files
// and the window, refusals that change nothing, and a command queued behind
// a profile switch.
#include "../support/program.h"
#include "../support/x11_window.h"

#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Result {
    int code = -1;
    QByteArray out, err;
};

} // namespace

class TestCtl : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(p.prepare({"553", true, true}));
        // A second profile with two stages of its own.
        QVERIFY(
            p.write("modules/setting/name.bin", "[profile]\nprofileName=Standard0, Shooter1\n"));
        QVERIFY(p.write("modules/setting/p2.bin", p.read("modules/setting/pD.bin")));
        QSettings p2(p.path("modules/setting/p2.bin"), QSettings::IniFormat);
        p2.setValue("mouse/currentDpiCount", 2);
        p2.setValue("mouse/dpiValueArray", QStringList{"700", "1400", "3000", "4000"});
        p2.sync();
        p.env.insert("XDG_RUNTIME_DIR", runtime.path()); // no other instance is seen
    }
    void cleanupTestCase() { ctl({"quit"}); }

    void startsFromNothing() {
        QCOMPARE(ctl({"--no-start", "status"}).code, 4);
        QVERIFY2(!QFile::exists(p.path("../wire.log")), "--no-start started the program");
        const QJsonObject s = status();
        QCOMPARE(s["mouse"]["connected"].toBool(), true);
        QCOMPARE(s["profile"]["name"].toString(), "Standard");
        QCOMPARE(s["reportRate"].toInt(), 1000);
        QCOMPARE(s["buttons"][0]["function"].toString(), "Left Key");
        QVERIFY2(!X11Window::info().contains("IsViewable"), "started for a script: tray icon only");
    }
    void changesReachMouseFilesAndWindow() {
        QCOMPARE(ctl({"button", "5", "ctrl+shift+a"}).code, 0);
        QCOMPARE(ctl({"dpi", "set", "400,800,1600"}).code, 0);
        QCOMPARE(ctl({"dpi", "stage", "2"}).code, 0);
        QCOMPARE(ctl({"rate", "500"}).code, 0);
        QCOMPARE(
            ctl({"light", "breath", "--speed", "2", "--brightness", "3", "--colour", "2=112233"})
                .code,
            0);
        const QJsonObject mouse = p.dumpUntil([](const QJsonObject &) { return true; });
        QCOMPARE(mouse["dpiStages"].toInt(), 3);
        QCOMPARE(mouse["currentDpi"].toInt(), 2);
        QCOMPARE(mouse["reportRate"].toInt(), 2); // 500 Hz
        QCOMPARE(mouse["keyMatrix"]["1"].toString().split(' ').mid(16, 4).join(' '), "00 03 04 00");
        QVERIFY(mouse["ledColors"].toString().contains("11 22 33"));

        QSettings p1(p.path("modules/setting/p1.bin"), QSettings::IniFormat);
        QCOMPARE(p1.value("mouse/reportRate").toInt(), 2);
        QCOMPARE(p1.value("mouseKeyMatrix/4").toStringList(), (QStringList{"2", "3", "4", "0"}));
        QCOMPARE(p1.value("mouse/lightValue").toStringList(), (QStringList{"1", "2", "3"}));

        QCOMPARE(status()["buttons"][4]["function"].toString(), "LCtrl+LShift+A");

        // The window shows it: the second of three stages is lit.
        QCOMPARE(ctl({"show"}).code, 0);
        QVERIFY(p.findWindow() && p.waitShown());
        const auto orange = [&](int x) {
            const QRgb c = p.grab({x, 270, 1, 1}).pixel(0, 0);
            return qRed(c) > 150 && qGreen(c) < 110 && qBlue(c) < 60;
        };
        QVERIFY2(orange(884) && !orange(845), "stage 2 lit");
    }
    // Wrong usage (1) and refused values (2): one line says why, and
    // nothing is stored or sent.
    void refusedChangesNothing_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        const QString garbage = runtime.path() + "/garbage.pf";
        QFile g(garbage);
        QVERIFY(g.open(QIODevice::WriteOnly) && g.write("not a profile\n") > 0);
        for (const QStringList &args : {QStringList{"dpi", "set", "400,x"}, {"frobnicate"}})
            QTest::newRow(qPrintable(args.join(' '))) << args << 1;
        for (const QStringList &args : {QStringList{"dpi", "set", "400,801"},
                                        {"dpi", "stage", "4"},
                                        {"rate", "300"},
                                        {"button", "1", "right-key"},
                                        {"profile", "import", garbage},
                                        {"macro", "import", garbage},
                                        {"profile", "3"}})
            QTest::newRow(qPrintable(args.join(' '))) << args << 2;
    }
    void refusedChangesNothing() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        const QByteArray files = settings();
        const qsizetype sent = commandTraffic();
        const Result r = ctl(args);
        QCOMPARE(r.code, code);
        QCOMPARE(r.err.count('\n'), 1);
        QCOMPARE(r.err.contains("--help"), code == 1);
        QCOMPARE(settings(), files);
        QCOMPARE(commandTraffic(), sent);
    }
    void mouseNotAnswering() {
        QVERIFY(p.control("fail set_feature 1 command"));
        p.dumpUntil([](const QJsonObject &) { return true; }); // the pipe is read up to here
        QCOMPARE(ctl({"rate", "250"}).code, 4);
    }
    // A command sent while a profile switch runs waits for it, then runs.
    void queuedBehindProfileSwitch() {
        QProcess switching;
        switching.setProcessEnvironment(p.env);
        switching.start(QStringLiteral(CTL_PATH), {"--program", p.program(), "profile", "Shooter"});
        QVERIFY(switching.waitForStarted());
        QCOMPARE(ctl({"dpi", "stage", "2"}).code, 0);
        QVERIFY(switching.waitForFinished(60000));
        QCOMPARE(switching.exitCode(), 0);

        const QJsonObject s = status();
        QCOMPARE(s["profile"]["name"].toString(), "Shooter");
        QCOMPARE(s["dpi"]["stages"].toArray(), (QJsonArray{700, 1400}));
        const QJsonObject mouse = p.dumpUntil([](const QJsonObject &) { return true; });
        QCOMPARE(mouse["dpiStages"].toInt(), 2);
        QCOMPARE(mouse["currentDpi"].toInt(), 2);
        QVERIFY2(p.violations().isEmpty(), "exchanges interleaved");
        QSettings global(p.path("modules/setting/apConfig.bin"), QSettings::IniFormat);
        QCOMPARE(global.value("mouse/profileNo").toInt(), 1);
    }
    // A profile out to a file and back in as a new entry.
    void exportAndImport() {
        const QString pf = runtime.path() + "/shooter.pf";
        QCOMPARE(ctl({"profile", "export", "2", pf}).code, 0);
        QCOMPARE(QSettings(pf, QSettings::IniFormat).value("mouse/currentDpiCount").toInt(), 2);
        const Result imported = ctl({"profile", "import", pf});
        QCOMPARE(imported.code, 0);
        const Result list = ctl({"profile", "list"});
        QCOMPARE(list.out.count('\n'), 3);
        QVERIFY2(list.out.contains(imported.out.mid(4)), list.out.constData());
    }
    void quitEndsTheProgram() {
        QCOMPARE(ctl({"quit"}).code, 0);
        QVERIFY(QTest::qWaitFor([this] { return ctl({"--no-start", "status"}).code == 4; }));
    }

private:
    Result ctl(QStringList args) {
        QProcess c;
        c.setProcessEnvironment(p.env);
        c.start(QStringLiteral(CTL_PATH), QStringList{"--program", p.program()} + args);
        Result r;
        if (!c.waitForFinished(90000))
            return r;
        r.code = c.exitStatus() == QProcess::NormalExit ? c.exitCode() : -1;
        r.out = c.readAllStandardOutput();
        r.err = c.readAllStandardError();
        return r;
    }
    QJsonObject status() { return QJsonDocument::fromJson(ctl({"status", "--json"}).out).object(); }
    // Exchanges on the mouse's command interface (the event reader keeps
    // reopening its own interface meanwhile).
    qsizetype commandTraffic() { return p.read("../wire.log").count("\"iface\":\"command\""); }
    QByteArray settings() {
        QByteArray all;
        const QString app = p.path("");
        for (QDirIterator it(app + "modules", QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();)
            all += it.next().toUtf8() + '\n' + p.read(it.filePath().mid(app.size()));
        return all;
    }

    QTemporaryDir dir, runtime;
    Program p{dir.path()};
};

QTEST_MAIN(TestCtl)
#include "tst_ctl.moc"
