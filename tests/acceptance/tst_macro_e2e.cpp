// A macro recorded with real key events in the running virtual program,
// bound to a button and saved, then read back from the simulated mouse.
#include <QDir>
#include <QFile>
#include <QFileInfo>
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

bool copyTree(const QString &from, const QString &to) {
    if (!QDir().mkpath(to))
        return false;
    for (const QFileInfo &entry :
         QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString target = to + '/' + entry.fileName();
        if (entry.isDir() ? !copyTree(entry.filePath(), target)
                          : !QFile::copy(entry.filePath(), target))
            return false;
    }
    return true;
}

bool runTool(const QString &tool, const QStringList &args, QByteArray *out = nullptr) {
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(10000) || p.exitCode() != 0)
        return false;
    if (out)
        *out = p.readAllStandardOutput();
    return true;
}

// Bytes first..first+count-1 of a firmware hex text ("07 0f 1f ...").
QString bytes(const QString &hex, int first, int count) {
    return hex.split(' ').mid(first, count).join(' ');
}

// Positions in the 1024 x 640 window (8 buttons): the editor block under
// the key matrix panel, the macro editor (640 x 448) and the key assignment
// dialog (416 x 404) where the window opens them, and Save.
constexpr int kMacroEditorRow[2] = {24 + 8 + 108, 88 + 254 + 8 + 40 + 12};
constexpr int kEditor[2] = {(1024 - 640) / 2, (640 - 448) / 2};
constexpr int kNew[2] = {kEditor[0] + 16 + 32, kEditor[1] + 81 + 328 + 8 + 12};
constexpr int kRecord[2] = {kEditor[0] + 200 + 50, kNew[1]};
constexpr int kEditorClose[2] = {kEditor[0] + 640 - 16 - 8, kEditor[1] + 20};
constexpr int kButton = 3; // the fourth button: not the last left click
constexpr int kButtonRow[2] = {24 + 8 + 108, 88 + 40 + kButton * 26 + 12};
constexpr int kAssign[2] = {(1024 - 416) / 2, (640 - 404) / 2};
constexpr int kHandle[2] = {kAssign[0] + 402 + 6, kAssign[1] + 42 + 100};
// Dragging the handle by 77 px scrolls the content by 77 * 830 / 212 px.
constexpr int kHandleDrag = 77;
constexpr double kScrolled = kHandleDrag * 830.0 / 212.0;
constexpr int kMacroList[2] = {kAssign[0] + 48 + 50, int(kAssign[1] + 41 + 410 - kScrolled + 12)};
constexpr int kAssignClose[2] = {kAssign[0] + 416 - 16 - 8, kAssign[1] + 12 + 8};
constexpr int kSave[2] = {1024 - 24 - 32, 640 - 8 - 12};

} // namespace

class TestMacroEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void recordedMacroReachesItsSlot_data();
    void recordedMacroReachesItsSlot();

private:
    bool start(const QString &family);
    int waitForLine(const QString &text, int timeoutMs);
    bool control(const QByteArray &command);
    QJsonObject dump();
    bool click(int x, int y);
    bool drag(int x, int y, int dy);
    void shot(const QString &name);

    QTemporaryDir dir;
    QString appFolder;
    QString controlPipe;
    QString wireLog;
    QProcess app;
    QStringList lines;
    QByteArray pending;
    int winX = 0;
    int winY = 0;
    int run = 0;
};

void TestMacroEndToEnd::initTestCase() {
    QVERIFY(dir.isValid());
    QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "runs under xvfb-run");
    QVERIFY2(runTool("xdotool", {"version"}), "xdotool");
}

void TestMacroEndToEnd::cleanup() {
    if (app.state() != QProcess::NotRunning) {
        app.terminate();
        if (!app.waitForFinished(10000)) {
            app.kill();
            app.waitForFinished(5000);
        }
    }
    lines.clear();
    pending.clear();
}

bool TestMacroEndToEnd::start(const QString &family) {
    // A private copy per run: its own settings files and its own instance.
    const QString base = dir.path() + QStringLiteral("/run%1").arg(++run);
    const QFileInfo built(QStringLiteral(PROGRAM_PATH));
    appFolder = base + "/app";
    if (!copyTree(built.absolutePath() + "/modules", appFolder + "/modules"))
        return false;
    const QString program = appFolder + '/' + built.fileName();
    if (!QFile::copy(built.absoluteFilePath(), program) ||
        !QFile::setPermissions(program, QFile::permissions(built.absoluteFilePath())))
        return false;

    QFile config(appFolder + "/modules/setting/apConfig.bin");
    if (!config.open(QIODevice::ReadOnly))
        return false;
    QByteArray text = config.readAll();
    config.close();
    text.replace("icType=553", "icType=" + family.toLatin1());
    if (!config.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        config.write(text) != text.size())
        return false;
    config.close();

    const QString deviceFile = base + "/device.json";
    QFile device(deviceFile);
    if (!device.open(QIODevice::WriteOnly) ||
        device.write(QJsonDocument(QJsonObject{{"family", family}}).toJson()) <= 0)
        return false;
    device.close();

    controlPipe = base + "/control";
    wireLog = base + "/wire.log";
    if (::mkfifo(QFile::encodeName(controlPipe).constData(), 0600) != 0)
        return false;

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("SKARN_VIRTUAL_CONTROL", controlPipe);
    env.insert("SKARN_VIRTUAL_LOG", wireLog);
    env.insert("SKARN_VIRTUAL_DEVICE", deviceFile);
    env.insert("QT_LOGGING_RULES", "skarn.shell.debug=true");
    app.setProcessEnvironment(env);
    app.setProcessChannelMode(QProcess::MergedChannels);
    app.setWorkingDirectory(base);
    app.start(program, {});
    if (!app.waitForStarted(10000))
        return false;
    if (waitForLine("runUI", 40000) < 0)
        return false;

    // The 1024 x 640 window of this process, wherever it was placed.
    QByteArray ids;
    QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        if (runTool("xdotool",
                    {"search", "--onlyvisible", "--pid", QString::number(app.processId())}, &ids))
            for (const QByteArray &id : ids.split('\n')) {
                QByteArray geometry;
                if (id.isEmpty() ||
                    !runTool("xdotool", {"getwindowgeometry", "--shell", QString::fromLatin1(id)},
                             &geometry))
                    continue;
                const QString g = QString::fromLatin1(geometry);
                if (!g.contains("WIDTH=1024") || !g.contains("HEIGHT=640"))
                    continue;
                winX = QRegularExpression("X=(-?\\d+)").match(g).captured(1).toInt();
                winY = QRegularExpression("Y=(-?\\d+)").match(g).captured(1).toInt();
                // past the start-up lock (1 s) before the first click
                QTest::qWait(1800);
                return true;
            }
        QTest::qWait(200);
    }
    return false;
}

int TestMacroEndToEnd::waitForLine(const QString &text, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    int from = 0;
    for (;;) {
        for (int i = from; i < lines.size(); ++i)
            if (lines.at(i).contains(text))
                return i;
        from = lines.size();
        if (deadline.hasExpired() || app.state() == QProcess::NotRunning)
            return -1;
        app.waitForReadyRead(200);
        pending += app.readAll();
        int newline;
        while ((newline = pending.indexOf('\n')) >= 0) {
            lines << QString::fromUtf8(pending.left(newline));
            pending.remove(0, newline + 1);
        }
    }
}

bool TestMacroEndToEnd::control(const QByteArray &command) {
    const int fd = ::open(QFile::encodeName(controlPipe).constData(), O_WRONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    const QByteArray line = command + '\n';
    const bool ok = ::write(fd, line.constData(), size_t(line.size())) == line.size();
    ::close(fd);
    return ok;
}

QJsonObject TestMacroEndToEnd::dump() {
    static int n = 0;
    const QString path = dir.path() + QStringLiteral("/state%1.json").arg(++n);
    if (!control("dump " + QFile::encodeName(path)))
        return {};
    QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly)) {
            const QJsonDocument doc = QJsonDocument::fromJson(f.readAll());
            if (doc.isObject())
                return doc.object();
        }
        QTest::qWait(50);
    }
    return {};
}

bool TestMacroEndToEnd::click(int x, int y) {
    // No --sync: it waits for a motion event, and a second click on the same
    // spot (Start, then Stop Record) would never get one.
    bool ok =
        runTool("xdotool", {"mousemove", QString::number(winX + x), QString::number(winY + y)});
    QTest::qWait(150);
    ok = runTool("xdotool", {"click", "1"}) && ok;
    // lists slide open and closed in under 200 ms
    QTest::qWait(400);
    return ok;
}

bool TestMacroEndToEnd::drag(int x, int y, int dy) {
    const QString sx = QString::number(winX + x);
    bool ok = runTool("xdotool", {"mousemove", sx, QString::number(winY + y)});
    QTest::qWait(150);
    ok = ok && runTool("xdotool", {"mousedown", "1"});
    for (int step = 1; ok && step <= 4; ++step) {
        ok = runTool("xdotool", {"mousemove", sx, QString::number(winY + y + dy * step / 4)});
        QTest::qWait(60);
    }
    ok = runTool("xdotool", {"mouseup", "1"}) && ok;
    QTest::qWait(300);
    return ok;
}

void TestMacroEndToEnd::shot(const QString &name) {
    runTool("import", {"-window", "root", QDir::currentPath() + "/macro_e2e_" + name + ".png"});
}

void TestMacroEndToEnd::recordedMacroReachesItsSlot_data() {
    QTest::addColumn<QString>("family");
    QTest::newRow("553") << QStringLiteral("553");
    QTest::newRow("560") << QStringLiteral("560");
}

// A new macro recorded from four key events (A down, A up, B down, B up),
// chosen for a button in the key assignment dialog and saved: the button's
// macro slot holds the encoded image, the same bytes for both families.
void TestMacroEndToEnd::recordedMacroReachesItsSlot() {
    QFETCH(QString, family);
    QVERIFY2(start(family), qPrintable(lines.join('\n')));

    QVERIFY(click(kMacroEditorRow[0], kMacroEditorRow[1]));
    QVERIFY(click(kNew[0], kNew[1]));
    QVERIFY(click(kRecord[0], kRecord[1]));
    QVERIFY(runTool("xdotool", {"key", "--delay", "120", "a", "b"}));
    QTest::qWait(300);
    QVERIFY(click(kRecord[0], kRecord[1]));
    shot("recorded_" + family);
    QVERIFY(click(kEditorClose[0], kEditorClose[1]));

    QVERIFY(click(kButtonRow[0], kButtonRow[1]));
    QVERIFY(drag(kHandle[0], kHandle[1], kHandleDrag));
    QVERIFY(click(kMacroList[0], kMacroList[1]));
    QVERIFY(click(kMacroList[0], kMacroList[1] - 12 + 24 + 12));
    shot("assigned_" + family);
    QVERIFY(click(kAssignClose[0], kAssignClose[1]));
    shot("closed_" + family);
    QVERIFY(click(kSave[0], kSave[1]));

    // press A, release A, press B, release B with no pauses recorded
    const QString image = "00 01 01 04 81 04 01 05 81 05 00 00";
    const QString slot = QString::number(kButton + 1);
    QJsonObject s;
    QDeadlineTimer deadline(20000);
    auto done = [&] {
        const QString hex = s.value("macros").toObject().value(slot).toString();
        return bytes(hex, 0, 12) == image &&
               bytes(hex, 12, 116) == QString("00 ").repeated(115) + "00";
    };
    while (!(s = dump()).isEmpty() && !done() && !deadline.hasExpired())
        QTest::qWait(250);
    shot("saved_" + family);
    QVERIFY2(done(), QJsonDocument(s.value("macros").toObject()).toJson().constData());

    // The program's own files: the macro's steps and, after Save, the
    // button's macro entry with the macro's name in the current profile.
    auto filesDone = [&] {
        QSettings macro(appFolder + "/modules/macro/Macro_0.bin", QSettings::IniFormat);
        QSettings profile(appFolder + "/modules/setting/p1.bin", QSettings::IniFormat);
        const QStringList entry =
            profile.value("mouseKeyMatrix/" + QString::number(kButton)).toStringList();
        return macro.value("config/total").toInt() == 4 &&
               macro.value("macro/2").toString() == "1,B" &&
               entry == QStringList{"4", "0", QString::number(kButton), "0"} &&
               profile.value("mouseMacroKey/" + QString::number(kButton)).toString() == "Macro_0";
    };
    deadline.setRemainingTime(10000);
    while (!filesDone() && !deadline.hasExpired())
        QTest::qWait(250);
    QVERIFY(filesDone());

    QFile log(wireLog);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray wire = log.readAll();
    QVERIFY2(!wire.contains("\"op\":\"violation\""), wire.right(2000).constData());
}

QTEST_GUILESS_MAIN(TestMacroEndToEnd)

#include "tst_macro_e2e.moc"
