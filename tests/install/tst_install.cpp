// The installed layout works: the program finds its data beside itself,
// starts from the starter in bin/, and ends cleanly on request.
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class TestInstall : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void layout_data();
    void layout();
    void udevRuleFollowsTheDeviceList();
    void desktopEntries_data();
    void desktopEntries();
    void installedProgramStartsAndQuits();
    void commandLineCompletesAndDocuments();

private:
    QString readText(const QString &relative) const;

    QTemporaryDir prefix;
    QString app;
};

QString TestInstall::readText(const QString &relative) const {
    QFile f(prefix.path() + '/' + relative);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

void TestInstall::initTestCase() {
    QVERIFY(prefix.isValid());
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(CMAKE_COMMAND_PATH),
                  {"--install", QStringLiteral(BUILD_DIR), "--prefix", prefix.path()});
    QVERIFY(install.waitForFinished(120000));
    QVERIFY2(install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0,
             install.readAll().constData());
    app = prefix.path() + "/lib/skarn-mouse";
}

void TestInstall::layout_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("executable");
    QTest::newRow("program") << "lib/skarn-mouse/skarn-mouse" << true;
    QTest::newRow("starter") << "bin/skarn-mouse" << true;
    QTest::newRow("device list") << "lib/skarn-mouse/modules/setting/apConfig.bin" << false;
    QTest::newRow("factory device list")
        << "lib/skarn-mouse/modules/setting/apConfigD.bin" << false;
    QTest::newRow("default profile") << "lib/skarn-mouse/modules/setting/pD.bin" << false;
    QTest::newRow("name lists") << "lib/skarn-mouse/modules/setting/name.bin" << false;
    QTest::newRow("gun presets") << "lib/skarn-mouse/modules/gun/gunData.bin" << false;
    QTest::newRow("English") << "lib/skarn-mouse/modules/i18n/English.ini" << false;
    QTest::newRow("Chinese") << "lib/skarn-mouse/modules/i18n/ChineseSimplified.ini" << false;
    QTest::newRow("tray icon") << "lib/skarn-mouse/modules/img/logo.ico" << false;
    QTest::newRow("udev rule") << "lib/udev/rules.d/70-skarn-mouse.rules" << false;
    QTest::newRow("menu entry") << "share/applications/skarn-mouse.desktop" << false;
    QTest::newRow("autostart entry") << "etc/xdg/autostart/skarn-mouse.desktop" << false;
    QTest::newRow("icon") << "share/icons/hicolor/scalable/apps/skarn-mouse.svg" << false;
    QTest::newRow("command line") << "bin/skarn-mousectl" << true;
    QTest::newRow("completion") << "share/bash-completion/completions/skarn-mousectl" << false;
    QTest::newRow("man page") << "share/man/man1/skarn-mousectl.1" << false;
}

void TestInstall::layout() {
    QFETCH(QString, path);
    QFETCH(bool, executable);
    const QFileInfo f(prefix.path() + '/' + path);
    QVERIFY2(f.isFile() && f.size() > 0, qPrintable(path));
    QCOMPARE(f.isExecutable(), executable);
}

void TestInstall::udevRuleFollowsTheDeviceList() {
    QSettings list(app + "/modules/setting/apConfig.bin", QSettings::IniFormat);
    const int count = list.value("common/deviceCount").toInt();
    QVERIFY(count > 0);
    const QString rule = readText("lib/udev/rules.d/70-skarn-mouse.rules");
    for (int i = 0; i < count; ++i) {
        const QString vid = list.value(QString::number(i) + "/vid").toString();
        const QString pid = list.value(QString::number(i) + "/pid").toString();
        QVERIFY2(rule.contains(vid, Qt::CaseInsensitive) && rule.contains(pid, Qt::CaseInsensitive),
                 qPrintable(rule));
    }
    QVERIFY2(rule.contains("hidraw"), qPrintable(rule));
}

void TestInstall::desktopEntries_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("menu") << "share/applications/skarn-mouse.desktop";
    QTest::newRow("autostart") << "etc/xdg/autostart/skarn-mouse.desktop";
}

void TestInstall::desktopEntries() {
    QFETCH(QString, path);
    const QString text = readText(path);
    QVERIFY(text.startsWith("[Desktop Entry]"));
    // Both start the starter in bin/ and show the installed icon.
    QVERIFY(text.contains("\nType=Application\n"));
    QVERIFY(text.contains("\nExec=skarn-mouse"));
    QVERIFY(text.contains("\nIcon=skarn-mouse\n"));
}

void TestInstall::installedProgramStartsAndQuits() {
    QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "runs under xvfb-run");
    QProcess program;
    program.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_LOGGING_RULES", "skarn.shell.debug=true");
    // Its own runtime folder: no other running instance is found.
    QTemporaryDir runtime;
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    program.setProcessEnvironment(env);
    // From an unrelated folder, through the starter: data must still be found.
    program.setWorkingDirectory(QDir::tempPath());
    program.start(prefix.path() + "/bin/skarn-mouse", {});
    QVERIFY(program.waitForStarted(10000));

    // The detection runs at once; without a real SK-70 attached it ends
    // with no device (a mouse that is attached would connect instead).
    QByteArray out;
    QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired() && !out.contains("Device Connect") &&
           !out.contains("Device DisConnect") && program.state() == QProcess::Running) {
        program.waitForReadyRead(200);
        out += program.readAll();
    }
    QVERIFY2(out.contains("check:"), out.constData());
    QVERIFY2(program.state() == QProcess::Running, out.constData());
    // Everything the scene needs came with the installed program: no missing
    // QML module, type or resource file.
    for (const char *missing : {"is not installed", "is not a type", "No such file", "Cannot open",
                                "Cannot assign to non-existent"})
        QVERIFY2(!out.contains(missing), out.constData());

    // The installed command line finds the program the starter started.
    QProcess ctl;
    ctl.setProcessEnvironment(env);
    ctl.start(prefix.path() + "/bin/skarn-mousectl", {"--no-start", "quit"});
    QVERIFY(ctl.waitForFinished(30000));
    QCOMPARE(ctl.exitCode(), 0);
    QVERIFY(program.waitForFinished(15000));
    out += program.readAll();
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY2(program.exitCode() == 0, out.constData());
    QVERIFY2(out.contains("exit"), out.constData());
}

void TestInstall::commandLineCompletesAndDocuments() {
    const QString script = prefix.path() + "/share/bash-completion/completions/skarn-mousectl";
    QProcess bash;
    bash.start("bash", {"-c",
                        "source \"$0\"; COMP_WORDS=(skarn-mousectl r); COMP_CWORD=1; "
                        "_skarn_mousectl; printf '%s|' \"${COMPREPLY[@]}\"; "
                        "COMP_WORDS=(skarn-mousectl rate ''); COMP_CWORD=2; "
                        "_skarn_mousectl; printf '%s|' \"${COMPREPLY[@]}\"",
                        script});
    QVERIFY(bash.waitForFinished(10000));
    QCOMPARE(QString::fromUtf8(bash.readAllStandardOutput()),
             QStringLiteral("rate|125|250|500|1000|"));
    QVERIFY(readText("share/man/man1/skarn-mousectl.1").contains("dpi set"));
}

QTEST_GUILESS_MAIN(TestInstall)

#include "tst_install.moc"
