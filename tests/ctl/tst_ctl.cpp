// skarn-mousectl against the virtual program under Xvfb: started from
// nothing, each command's effect on the simulated mouse, the settings files
// and the window, refusals that change nothing, and a command queued behind
// a profile switch.
#include "../support/x11_window.h"
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
        QVERIFY(dir.isValid());
        QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "runs under xvfb-run");
        const QFileInfo built(QStringLiteral(PROGRAM_PATH));
        app = dir.path() + "/app";
        QVERIFY(QDir().mkpath(app));
        QCOMPARE(QProcess::execute("cp", {"-a", built.absolutePath() + "/modules", app}), 0);
        program = app + '/' + built.fileName();
        QVERIFY(QFile::copy(built.absoluteFilePath(), program));
        QVERIFY(QFile::setPermissions(program, QFile::permissions(built.absoluteFilePath())));

        // A second profile with two stages of its own.
        QFile names(app + "/modules/setting/name.bin");
        QVERIFY(names.open(QIODevice::WriteOnly));
        names.write("[profile]\nprofileName=Standard0, Shooter1\n");
        names.close();
        QFile::remove(app + "/modules/setting/p2.bin");
        QVERIFY(QFile::copy(app + "/modules/setting/pD.bin", app + "/modules/setting/p2.bin"));
        QFile::setPermissions(app + "/modules/setting/p2.bin",
                              QFile::ReadOwner | QFile::WriteOwner);
        QSettings p2(app + "/modules/setting/p2.bin", QSettings::IniFormat);
        p2.setValue("mouse/currentDpiCount", 2);
        p2.setValue("mouse/dpiValueArray",
                    QStringList{"700", "1400", "3000", "4000", "5000", "6000", "7000", "8000"});
        p2.sync();

        control = dir.path() + "/control";
        wire = dir.path() + "/wire.log";
        QCOMPARE(::mkfifo(QFile::encodeName(control).constData(), 0600), 0);
        env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime.path()); // no other instance is seen
        env.insert("SKARN_VIRTUAL_CONTROL", control);
        env.insert("SKARN_VIRTUAL_LOG", wire);
        env.remove("SKARN_VIRTUAL_DEVICE");
    }
    void cleanupTestCase() { ctl({"quit"}); }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no command") << QStringList{};
        QTest::newRow("dpi alone") << QStringList{"dpi"};
        QTest::newRow("not a number") << QStringList{"dpi", "set", "400,x"};
        QTest::newRow("unknown") << QStringList{"frobnicate"};
    }
    void usageErrors() {
        QFETCH(QStringList, args);
        const Result r = ctl(args);
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("--help"));
    }
    void startsFromNothing() {
        QCOMPARE(ctl({"--no-start", "status"}).code, 4);
        QVERIFY2(!QFile::exists(wire), "--no-start started the program");

        const Result r = ctl({"status", "--json"});
        QCOMPARE(r.code, 0);
        const QJsonObject s = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(s["mouse"]["connected"].toBool(), true);
        QCOMPARE(s["mouse"]["vid"].toString(), QStringLiteral("1209"));
        QCOMPARE(s["profile"]["name"].toString(), QStringLiteral("Standard"));
        QCOMPARE(s["reportRate"].toInt(), 1000);
        QCOMPARE(s["buttons"][0]["function"].toString(), QStringLiteral("Left Key"));
        // Started for a script: only the tray icon, no window.
        QVERIFY(!windowInfo().contains("IsViewable"));
    }
    void changesReachMouseFilesAndWindow() {
        const QJsonObject keysBefore = dump()["keyMatrix"].toObject();
        QCOMPARE(ctl({"button", "5", "ctrl+shift+a"}).code, 0);
        QCOMPARE(ctl({"dpi", "set", "400,800,1600"}).code, 0);
        QCOMPARE(ctl({"dpi", "stage", "2"}).code, 0);
        QCOMPARE(ctl({"rate", "500"}).code, 0);
        QCOMPARE(
            ctl({"light", "breath", "--speed", "2", "--brightness", "3", "--colour", "2=112233"})
                .code,
            0);

        const QJsonObject mouse = dump();
        QCOMPARE(mouse["dpiStages"].toInt(), 3);
        QCOMPARE(mouse["currentDpi"].toInt(), 2);
        QCOMPARE(mouse["reportRate"].toInt(), 2); // 500 Hz
        QVERIFY(mouse["keyMatrix"].toObject() != keysBefore);
        QVERIFY2(mouse["ledColors"].toString().contains("11 22 33"),
                 qPrintable(mouse["ledColors"].toString()));

        QSettings p1(app + "/modules/setting/p1.bin", QSettings::IniFormat);
        QCOMPARE(p1.value("mouse/currentDpiCount").toInt(), 3);
        QCOMPARE(p1.value("mouse/dpiValueArray").toStringList().mid(0, 3),
                 (QStringList{"400", "800", "1600"}));
        QCOMPARE(p1.value("mouse/reportRate").toInt(), 2);
        QCOMPARE(p1.value("mouseKeyMatrix/4").toStringList(), (QStringList{"2", "3", "4", "0"}));
        QCOMPARE(p1.value("mouse/lightValue").toStringList(), (QStringList{"1", "2", "3"}));
        QCOMPARE(p1.value("mouse/colorValue").toStringList().mid(3, 3),
                 (QStringList{"17", "34", "51"}));

        const QJsonObject s = QJsonDocument::fromJson(ctl({"status", "--json"}).out).object();
        QCOMPARE(s["dpi"]["stages"].toArray(), (QJsonArray{400, 800, 1600}));
        QCOMPARE(s["dpi"]["current"].toInt(), 2);
        QCOMPARE(s["reportRate"].toInt(), 500);
        QCOMPARE(s["buttons"][4]["function"].toString(), QStringLiteral("LCtrl+LShift+A"));
        QCOMPARE(s["light"]["effect"].toString(), QStringLiteral("Breath"));
        QCOMPARE(s["light"]["colours"][1].toString(), QStringLiteral("112233"));

        // The window shows it: the second of three stages is lit.
        QCOMPARE(ctl({"show"}).code, 0);
        QVERIFY(waitFor([this] { return windowInfo().contains("IsViewable"); }));
        QTest::qWait(1500); // the start-up logo hands over to the panels
        const QImage screen = grab();
        const QPoint at = windowPosition();
        const auto orange = [&](int x, int y) {
            const QRgb p = screen.pixel(at.x() + x, at.y() + y);
            return qRed(p) > 150 && qGreen(p) < 110 && qBlue(p) < 60;
        };
        QVERIFY2(orange(884, 270) && !orange(845, 270), "stage 2 lit");
    }
    void refusedChangesNothing_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("dpi off step") << QStringList{"dpi", "set", "400,801"};
        QTest::newRow("dpi too high") << QStringList{"dpi", "set", "400,99999"};
        QTest::newRow("too many stages") << QStringList{"dpi", "set",
                                                        "400,400,400,400,400,400,"
                                                        "400,400,400"};
        QTest::newRow("stage not in use") << QStringList{"dpi", "stage", "4"};
        QTest::newRow("rate") << QStringList{"rate", "300"};
        QTest::newRow("effect") << QStringList{"light", "sparkle"};
        QTest::newRow("brightness") << QStringList{"light", "static", "--brightness", "5"};
        QTest::newRow("colour") << QStringList{"light", "static", "--colour", "9=ffffff"};
        QTest::newRow("only left click") << QStringList{"button", "1", "right-key"};
        QTest::newRow("function") << QStringList{"button", "2", "nonsense"};
        const QString garbage = dir.path() + "/garbage.pf";
        QFile g(garbage);
        g.open(QIODevice::WriteOnly);
        g.write("not a profile\n");
        QTest::newRow("not a profile") << QStringList{"profile", "import", garbage};
        QTest::newRow("not a macro") << QStringList{"macro", "import", garbage};
        QTest::newRow("unknown macro") << QStringList{"macro", "export", "Nope", garbage};
        QTest::newRow("profile name") << QStringList{"profile", "Nope"};
        QTest::newRow("profile number") << QStringList{"profile", "3"};
    }
    void refusedChangesNothing() {
        QFETCH(QStringList, args);
        const QByteArray files = settings();
        const QByteArray sent = commandTraffic();
        const Result r = ctl(args);
        QCOMPARE(r.code, 2);
        QCOMPARE(r.err.count('\n'), 1);
        QCOMPARE(settings(), files);
        QCOMPARE(commandTraffic(), sent);
    }
    void mouseNotAnswering() {
        QVERIFY(controlLine("fail set_feature 1 command"));
        QVERIFY(!dump().isEmpty()); // the pipe has been read up to here
        QCOMPARE(ctl({"rate", "250"}).code, 4);
    }
    // A command sent while a profile switch runs waits for it, then runs.
    void queuedBehindProfileSwitch() {
        const QImage before = grab();
        QProcess switching;
        switching.setProcessEnvironment(env);
        switching.start(QStringLiteral(CTL_PATH), {"--program", program, "profile", "Shooter"});
        QVERIFY(switching.waitForStarted());
        const Result stage = ctl({"dpi", "stage", "2"});
        QVERIFY(switching.waitForFinished(60000));
        QCOMPARE(switching.exitCode(), 0);
        QCOMPARE(stage.code, 0);

        const QJsonObject s = QJsonDocument::fromJson(ctl({"status", "--json"}).out).object();
        QCOMPARE(s["profile"]["name"].toString(), QStringLiteral("Shooter"));
        QCOMPARE(s["dpi"]["stages"].toArray(), (QJsonArray{700, 1400}));
        const QJsonObject mouse = dump();
        QCOMPARE(mouse["dpiStages"].toInt(), 2);
        QCOMPARE(mouse["currentDpi"].toInt(), 2);
        QFile log(wire);
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY2(!log.readAll().contains("\"op\":\"violation\""), "exchanges interleaved");
        // The title bar's drop-down names the new profile.
        const QImage after = grab();
        const QPoint at = windowPosition();
        const QRect names(at.x() + 770, at.y() + 14, 110, 20);
        QVERIFY2(before.copy(names) != after.copy(names), "the drop-down still shows the old name");
        QCOMPARE(QSettings(app + "/modules/setting/apConfig.bin", QSettings::IniFormat)
                     .value("mouse/profileNo")
                     .toInt(),
                 1);
    }
    // A profile and a macro out to files and back in as new entries.
    void exportAndImport() {
        const QString pf = dir.path() + "/shooter.pf", mc = dir.path() + "/m.mc";
        QCOMPARE(ctl({"profile", "export", "2", pf}).code, 0);
        QCOMPARE(QSettings(pf, QSettings::IniFormat).value("mouse/currentDpiCount").toInt(), 2);
        const Result imported = ctl({"profile", "import", pf});
        QCOMPARE(imported.code, 0);
        const Result list = ctl({"profile", "list"});
        QCOMPARE(list.out.count('\n'), 3);
        QVERIFY2(list.out.contains(imported.out.mid(4)), list.out.constData());

        QFile macro(mc);
        QVERIFY(macro.open(QIODevice::WriteOnly));
        macro.write("[config]\ntotal=1\nrepeat=1\n[macro]\n0=\"1, A, 10\"\n");
        macro.close();
        const Result name = ctl({"macro", "import", mc});
        QCOMPARE(name.code, 0);
        QCOMPARE(ctl({"macro", "list"}).out, name.out);
        QFile::remove(mc);
        QCOMPARE(ctl({"macro", "export", QString::fromUtf8(name.out.trimmed()), mc}).code, 0);
        QCOMPARE(QSettings(mc, QSettings::IniFormat).value("config/total").toInt(), 1);
    }
    void quitEndsTheProgram() {
        QCOMPARE(ctl({"quit"}).code, 0);
        QVERIFY(waitFor([this] { return ctl({"--no-start", "status"}).code == 4; }));
    }

private:
    Result ctl(QStringList args) {
        args.prepend(program);
        args.prepend("--program");
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(CTL_PATH), args);
        Result r;
        if (!p.waitForFinished(90000)) {
            p.kill();
            p.waitForFinished();
            return r;
        }
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        return r;
    }
    bool waitFor(const std::function<bool()> &condition, int timeoutMs = 15000) {
        QDeadlineTimer deadline(timeoutMs);
        while (!condition()) {
            if (deadline.hasExpired())
                return false;
            QTest::qWait(100);
        }
        return true;
    }
    bool controlLine(const QByteArray &command) {
        const int fd = ::open(QFile::encodeName(control).constData(), O_WRONLY | O_NONBLOCK);
        if (fd < 0)
            return false;
        const QByteArray line = command + '\n';
        const bool written = ::write(fd, line.constData(), size_t(line.size())) == line.size();
        ::close(fd);
        return written;
    }
    QJsonObject dump() {
        const QString path = dir.path() + "/state.json";
        QFile::remove(path);
        if (!controlLine("dump " + QFile::encodeName(path)) ||
            !waitFor([&] { return QFile::exists(path); }))
            return {};
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return QJsonDocument::fromJson(f.readAll()).object();
    }
    // What went to the mouse's command interface (the event reader keeps
    // reopening its own interface meanwhile).
    QByteArray commandTraffic() {
        QFile f(wire);
        QByteArray out;
        if (f.open(QIODevice::ReadOnly))
            for (const QByteArray &line : f.readAll().split('\n'))
                if (line.contains("\"iface\":\"command\""))
                    out += line + '\n';
        return out;
    }
    QByteArray settings() {
        QByteArray all;
        QDirIterator it(app + "/modules", QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            if (f.open(QIODevice::ReadOnly))
                all += f.fileName().toUtf8() + '\n' + f.readAll();
        }
        return all;
    }
    QString windowInfo() { return X11Window::info(); }
    QPoint windowPosition() { return X11Window::position(); }
    QImage grab() {
        const QString shot = dir.path() + "/screen.png";
        QProcess::execute("import", {"-window", "root", shot});
        QFile::remove("ctl_window.png");
        QFile::copy(shot, "ctl_window.png"); // kept for a look by eye
        return QImage(shot);
    }

    QTemporaryDir dir, runtime;
    QString app, program, control, wire;
    QProcessEnvironment env;
};

QTEST_GUILESS_MAIN(TestCtl)
#include "tst_ctl.moc"
