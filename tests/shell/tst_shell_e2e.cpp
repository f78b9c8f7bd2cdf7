// The virtual program as a user meets it: started from another folder, alone
// per executable, finding the simulated mouse, following unplug and plug,
// passing key presses to the scene and leaving with status 0.
#include "../support/x11_window.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool copyTree(const QString &from, const QString &to) {
    return QDir().mkpath(to) && QProcess::execute("cp", {"-a", from + "/.", to}) == 0;
}

} // namespace

class TestShellEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "runs under xvfb-run");
        // A private copy: its own single-instance key and its own settings files.
        const QFileInfo built(QStringLiteral(PROGRAM_PATH));
        appFolder = dir.path() + "/app";
        QVERIFY(copyTree(built.absolutePath() + "/modules", appFolder + "/modules"));
        program = appFolder + '/' + built.fileName();
        QVERIFY(QFile::copy(built.absoluteFilePath(), program));
        QVERIFY(QFile::setPermissions(program, QFile::permissions(built.absoluteFilePath())));

        controlPipe = dir.path() + "/control";
        wireLog = dir.path() + "/wire.log";
        QCOMPARE(::mkfifo(QFile::encodeName(controlPipe).constData(), 0600), 0);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // A private session bus with a StatusNotifierItem host, as on KDE,
        // GNOME with AppIndicator and every Wayland session.
        bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        QVERIFY2(bus.waitForReadyRead(10000), "dbus-daemon");
        env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromUtf8(bus.readLine()).trimmed());
        stubs.setProcessEnvironment(env);
        stubs.start("/usr/bin/python3", {QStringLiteral(STUBS_PATH), "--watcher"});
        QVERIFY2(stubs.waitForReadyRead(10000) && stubs.readLine().trimmed() == "ready",
                 "session bus stubs");

        env.insert("SKARN_VIRTUAL_CONTROL", controlPipe);
        env.insert("SKARN_VIRTUAL_LOG", wireLog);
        env.insert("QT_LOGGING_RULES", "skarn.shell.debug=true");
        env.remove("SKARN_VIRTUAL_DEVICE");
        app.setProcessEnvironment(env);
        app.setProcessChannelMode(QProcess::MergedChannels);
        app.setWorkingDirectory(dir.path());
        app.start(program, {});
        QVERIFY(app.waitForStarted(10000));
    }
    void cleanupTestCase() {
        for (QProcess *p : {&app, &stubs, &bus}) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
    }
    void startsInExecutableFolderAndConnects() {
        QVERIFY2(waitForLine("Device Connect", 30000) >= 0, since(0));
        // For a second after the connection only the start-up logo shows,
        // over the desktop (black under Xvfb, which has no compositor).
        const QPoint at = windowPosition();
        QImage start;
        QDeadlineTimer drawn(10000);
        do {
            start = grabScreen("start.png");
        } while (qGray(start.pixel(at.x() + 512, at.y() + 320)) < 8 && !drawn.hasExpired());
        const QRgb beside = start.pixel(at.x() + 5, at.y() + 300);
        QVERIFY2(qRed(beside) < 64 && qGreen(beside) < 64 && qBlue(beside) < 64,
                 qPrintable(QStringLiteral("beside the logo: #%1").arg(beside & 0xffffff, 6, 16)));
        QVERIFY2(waitForLine("runUI", 10000) >= 0, since(0));

        const QString cwd =
            QFileInfo(QStringLiteral("/proc/%1/cwd").arg(app.processId())).symLinkTarget();
        QCOMPARE(QFileInfo(cwd).canonicalFilePath(), QFileInfo(appFolder).canonicalFilePath());

        QFile log(wireLog);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray wire = log.readAll();
        QVERIFY2(wire.contains("\"op\":\"set_feature\""), "the presence check went over the wire");
        QVERIFY2(!wire.contains("\"op\":\"violation\""), wire.constData());
    }
    // The window as it shows after the start-up interval: drawn everywhere (no
    // see-through parts) and the mouse's current DPI stage (1) lit.
    void windowLooksRight() {
        QTest::qWait(1800); // the start-up lock (1000 ms) and the logo hand over
        const QString geometry = windowInfo();
        QVERIFY2(geometry.contains("Width: 1024") && geometry.contains("Height: 640"),
                 qPrintable(geometry));
        const int wx = windowPosition().x(), wy = windowPosition().y();

        const QImage image = grabScreen("window.png");
        QVERIFY(!image.isNull());

        // Panels, the Save button, the title bar's accent and the mouse's
        // current DPI stage (1), lit in orange.
        const struct {
            int x, y;
            QRgb colour;
        } spots[] = {{252, 300, qRgb(0, 0, 0)},
                     {780, 200, qRgb(0, 0, 0)},
                     {945, 612, qRgb(0x09, 0x34, 0x7f)},
                     {480, 44, qRgb(0xcf, 0x3e, 0x00)},
                     {826, 268, qRgb(0xcf, 0x3e, 0x00)}};
        for (const auto &spot : spots) {
            const QRgb p = image.pixel(wx + spot.x, wy + spot.y);
            QVERIFY2(qAbs(qRed(p) - qRed(spot.colour)) + qAbs(qGreen(p) - qGreen(spot.colour)) +
                             qAbs(qBlue(p) - qBlue(spot.colour)) <=
                         24,
                     qPrintable(QStringLiteral("%1,%2 is #%3")
                                    .arg(spot.x)
                                    .arg(spot.y)
                                    .arg(p & 0xffffff, 6, 16, QLatin1Char('0'))));
        }
        // No part of the window is left see-through (black on X11 without a
        // compositor): the background artwork is dark but not black.
        const QRgb corner = image.pixel(wx + 5, wy + 300);
        QVERIFY2(qRed(corner) > 4 && qRed(corner) < 60, "background artwork");
    }
    void secondStartExitsWithOne() {
        const int from = lineCount();
        QProcess second;
        second.setProcessEnvironment(app.processEnvironment());
        second.setWorkingDirectory(dir.path());
        second.setProcessChannelMode(QProcess::MergedChannels);
        second.start(program, {});
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 1);
        // It opened nothing: no device access, no detection of its own.
        QVERIFY(!second.readAll().contains("Device Connect"));
        // The running instance got the request and, a device being connected,
        // restores its window.
        QVERIFY2(waitForLine("skarn.shell: restore", 10000, from) >= 0, since(from));
    }
    void keyPressReachesScene() {
        const int from = lineCount();
        QProcess xdotool;
        xdotool.start("xdotool", {"key", "a"});
        QVERIFY2(xdotool.waitForFinished(10000), "xdotool");
        QCOMPARE(xdotool.exitCode(), 0);
        const int down = waitForLine("detectKeyboard true 4", 10000, from);
        QVERIFY2(down >= 0, since(from));
        QVERIFY(waitForLine("detectKeyboard false 4", 10000, down) > down);
    }
    void followsUnplugAndPlug() {
        int from = lineCount();
        QVERIFY(control("unplug"));
        QVERIFY2(waitForLine("Device removed", 10000, from) >= 0, since(from));

        from = lineCount();
        QVERIFY(control("plug"));
        // One check, 2048 ms after the notification, connects again.
        QVERIFY2(waitForLine("Device Connect", 15000, from) >= 0, since(from));
        QVERIFY(waitForLine("runUI", 10000, from) >= 0);
    }
    // The close icon hides the window; a click on the tray icon, which a
    // StatusNotifierItem host passes on as Activate, brings it back.
    void trayClickRestores() {
        QVERIFY2(stubLine("registered ", 5000), "the tray icon is on the bus");
        // The scene takes no clicks for a moment after the new connection.
        const QPoint at = windowPosition();
        bool hidden = false;
        for (int attempt = 0; attempt < 10 && !hidden; ++attempt) {
            QProcess::execute("xdotool", {"mousemove", QString::number(at.x() + 992),
                                          QString::number(at.y() + 24), "click", "1"});
            hidden = waitForMapState("IsUnMapped", 1000);
        }
        QVERIFY2(hidden, "the close icon hides the window");

        stubs.write("activate 10 10\n");
        QVERIFY(stubLine("activated", 5000));
        QVERIFY2(waitForMapState("IsViewable", 10000), "the tray click restores the window");
    }
    void quitsWithZero() {
        // The session ending (SIGTERM) takes the same path as the tray's Quit.
        ::kill(pid_t(app.processId()), SIGTERM);
        QVERIFY(app.waitForFinished(15000));
        QCOMPARE(app.exitStatus(), QProcess::NormalExit);
        QCOMPARE(app.exitCode(), 0);
        pending += app.readAll();
        QVERIFY(pending.contains("skarn.shell: exit") ||
                lines.join('\n').contains("skarn.shell: exit"));
    }

private:
    // Waits until the program's output (from `from` on) holds a line
    // containing text; returns its index or -1.
    int waitForLine(const QString &text, int timeoutMs, int from = 0) {
        QDeadlineTimer deadline(timeoutMs);
        for (;;) {
            for (int i = from; i < lines.size(); ++i)
                if (lines.at(i).contains(text))
                    return i;
            from = lines.size();
            if (deadline.hasExpired())
                return -1;
            app.waitForReadyRead(int(qBound(qint64(10), deadline.remainingTime(), qint64(200))));
            pending += app.readAll();
            int newline;
            while ((newline = pending.indexOf('\n')) >= 0) {
                lines << QString::fromUtf8(pending.left(newline));
                pending.remove(0, newline + 1);
            }
            if (app.state() == QProcess::NotRunning && !app.bytesAvailable() &&
                deadline.hasExpired())
                return -1;
        }
    }
    int lineCount() const { return lines.size(); }
    bool stubLine(const QByteArray &prefix, int timeoutMs) {
        QDeadlineTimer deadline(timeoutMs);
        do {
            while (stubs.canReadLine())
                if (stubs.readLine().startsWith(prefix))
                    return true;
        } while (stubs.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))));
        return false;
    }
    // The screen, kept as shell_e2e_<name> for a look by eye.
    QImage grabScreen(const QString &name) {
        const QString shot = dir.path() + '/' + name;
        QProcess grab;
        grab.start("import", {"-window", "root", shot});
        grab.waitForFinished(20000);
        QFile::remove("shell_e2e_" + name);
        QFile::copy(shot, "shell_e2e_" + name);
        return QImage(shot);
    }
    QString windowInfo() { return X11Window::info(); }
    QPoint windowPosition() { return X11Window::position(); }
    bool waitForMapState(const QString &state, int timeoutMs) {
        QDeadlineTimer deadline(timeoutMs);
        while (!windowInfo().contains("Map State: " + state)) {
            if (deadline.hasExpired())
                return false;
            QTest::qWait(100);
        }
        return true;
    }
    // The output from line `from` on, for failure messages.
    const char *since(int from) {
        shown = lines.mid(from).join('\n').toLocal8Bit();
        return shown.constData();
    }
    bool control(const QByteArray &command) {
        const int fd = ::open(QFile::encodeName(controlPipe).constData(), O_WRONLY | O_NONBLOCK);
        if (fd < 0)
            return false;
        const QByteArray line = command + '\n';
        const bool ok = ::write(fd, line.constData(), size_t(line.size())) == line.size();
        ::close(fd);
        return ok;
    }

    QTemporaryDir dir;
    QString appFolder;
    QString program;
    QString controlPipe;
    QString wireLog;
    QProcess bus, stubs, app;
    QStringList lines;
    QByteArray pending, shown;
};

QTEST_GUILESS_MAIN(TestShellEndToEnd)
#include "tst_shell_e2e.moc"
