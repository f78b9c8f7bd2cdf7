// The installed program finds its data, starts from bin/ and quits on request.
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class TestInstall : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void layout();
    void installedProgramStartsAndQuits();
    void commandLineCompletesAndDocuments();

private:
    QString readText(const QString &relative) const {
        QFile f(prefix.path() + '/' + relative);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    QTemporaryDir prefix;
};

void TestInstall::initTestCase() {
    QProcess install;
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(CMAKE_COMMAND_PATH),
                  {"--install", QStringLiteral(BUILD_DIR), "--prefix", prefix.path()});
    QVERIFY(install.waitForFinished(120000));
    QVERIFY2(install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0,
             install.readAll().constData());
}

void TestInstall::layout() {
    // "*": executable; "@": in the data folder, whose folders are installed whole.
    for (QString path :
         {"*lib/skarn-mouse/skarn-mouse", "*bin/skarn-mouse", "*bin/skarn-mousectl",
          "*bin/skarn-wirecheck", "@setting/p6.bin", "@gun/gunData.bin", "@i18n/English.ini",
          "@img/logo.ico", "share/icons/hicolor/scalable/apps/skarn-mouse.svg"}) {
        const bool executable = path.startsWith('*');
        path.replace('@', "lib/skarn-mouse/modules/").remove('*');
        const QFileInfo f(prefix.path() + '/' + path);
        QVERIFY2(f.isFile() && f.size() > 0 && f.isExecutable() == executable, qPrintable(path));
    }
    // Menu and autostart entries start the starter in bin/ and show the icon.
    for (const char *entry :
         {"share/applications/skarn-mouse.desktop", "etc/xdg/autostart/skarn-mouse.desktop"}) {
        const QString text = readText(entry);
        QVERIFY2(text.startsWith("[Desktop Entry]") && text.contains("\nType=Application\n") &&
                     text.contains("\nExec=skarn-mouse") && text.contains("\nIcon=skarn-mouse\n"),
                 entry);
    }
    // The udev rule lets the user reach every mouse of the device list.
    QSettings list(prefix.path() + "/lib/skarn-mouse/modules/setting/apConfig.bin",
                   QSettings::IniFormat);
    const QString rule = readText("lib/udev/rules.d/70-skarn-mouse.rules");
    QVERIFY2(rule.contains("hidraw"), qPrintable(rule));
    for (const QString &key : list.allKeys())
        if (key.endsWith("/vid") || key.endsWith("/pid"))
            QVERIFY2(rule.contains(list.value(key).toString(), Qt::CaseInsensitive),
                     qPrintable(key));
}

void TestInstall::installedProgramStartsAndQuits() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_LOGGING_RULES", "skarn.shell.debug=true");
    QTemporaryDir runtime; // no other running instance is found
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    QProcess program;
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.setProcessEnvironment(env);
    // From an unrelated folder, through the starter: data must still be found.
    program.setWorkingDirectory(QDir::tempPath());
    program.start(prefix.path() + "/bin/skarn-mouse", {});
    // The detection runs at once and ends, found or not.
    QByteArray out;
    QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired() && !out.contains("Device Connect") &&
           !out.contains("Device DisConnect") && program.state() != QProcess::NotRunning) {
        program.waitForReadyRead(200);
        out += program.readAll();
    }
    QVERIFY2(out.contains("check:") && program.state() == QProcess::Running, out.constData());
    // Everything the scene needs came with the installed program.
    for (const char *missing : {"is not installed", "is not a type", "No such file", "Cannot open",
                                "Cannot assign to non-existent"})
        QVERIFY2(!out.contains(missing), out.constData());

    // The installed command line finds the program the starter started.
    QProcess ctl;
    ctl.setProcessEnvironment(env);
    ctl.start(prefix.path() + "/bin/skarn-mousectl", {"--no-start", "quit"});
    QVERIFY(ctl.waitForFinished(30000) && ctl.exitCode() == 0);
    QVERIFY(program.waitForFinished(15000));
    QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0,
             (out + program.readAll()).constData());
}

void TestInstall::commandLineCompletesAndDocuments() {
    QProcess bash;
    bash.start("bash", {"-c",
                        "source \"$0\"; c() { COMP_WORDS=(skarn-mousectl \"$@\"); COMP_CWORD=$#; "
                        "_skarn_mousectl; printf '%s|' \"${COMPREPLY[@]}\"; }; c r; c rate ''",
                        prefix.path() + "/share/bash-completion/completions/skarn-mousectl"});
    QVERIFY(bash.waitForFinished(10000));
    QCOMPARE(QString::fromUtf8(bash.readAllStandardOutput()),
             QStringLiteral("rate|125|250|500|1000|"));
    QVERIFY(readText("share/man/man1/skarn-mousectl.1").contains("dpi set"));
}

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
