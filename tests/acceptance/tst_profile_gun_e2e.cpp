// Profile switching and the gun editor in the running virtual program,
// driven with the pointer and keyboard (xdotool), checked against the
// simulated mouse's firmware state.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

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

QString bytes(const QString &hex, int first, int count) {
    return hex.split(' ').mid(first, count).join(' ');
}

bool writeFile(const QString &path, const QByteArray &content) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
}

QByteArray readFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Window positions. The profile drop-down sits 160 px left of the title-bar
// icons (920,16); the gun editor (640 x 448) opens centred at 192,96 with
// its right-hand column 284 px in and 57 px down.
constexpr int kProfileList[2] = {920 - 160 + 60, 16 - 4 + 12};
constexpr int kListRow = 24;
constexpr int kGunX = 192;
constexpr int kGunY = 96;
constexpr int kGunPane[2] = {kGunX + 284, kGunY + 57};
// "Select gun" is about 60 px wide; its 96 px list starts 16 px after it.
constexpr int kSlotList[2] = {kGunPane[0] + 124, kGunPane[1] + 12};
constexpr int kYBox[2] = {kGunPane[0] + 294, kGunPane[1] + 190};
constexpr int kTimesBox[2] = {kGunPane[0] + 96, kGunPane[1] + 376};
constexpr int kGunClose[2] = {kGunX + 640 - 24, kGunY + 20};

// A second profile that differs from the standard one in every setting
// the switch sends: three DPI stages, report rate, lighting and the middle
// button.
QByteArray secondProfile(QByteArray standard) {
    standard.replace("currentDpiCount=4", "currentDpiCount=3");
    standard.replace("dpiValueArray=500, 1000, 1500, 2000", "dpiValueArray=800, 1600, 2400, 2000");
    standard.replace("reportRate=3", "reportRate=0");
    standard.replace("lightValue=0, 0, 4", "lightValue=1, 2, 2");
    const int keys = standard.indexOf("[mouseKeyMatrix]");
    const int middle = standard.indexOf("\n2=0, 0, 242, 0", keys);
    if (keys >= 0 && middle > keys)
        standard.replace(middle, 15, "\n2=0, 0, 241, 0");
    return standard;
}

} // namespace

class TestProfileGunEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void switchSendsTheNewProfile_data();
    void switchSendsTheNewProfile();
    void gunSlotTwoReachesTheMouse_data();
    void gunSlotTwoReachesTheMouse();

private:
    bool start(const QString &family, bool twoProfiles);
    int waitForLine(const QString &text, int timeoutMs);
    bool control(const QByteArray &command);
    QJsonObject dump();
    bool click(int x, int y);
    bool typeInto(int x, int y, const QString &text);
    void shot(const QString &name);
    QJsonObject summary(const QJsonObject &s, const QString &family);
    QJsonObject waitFor(const std::function<bool(const QJsonObject &)> &done, int ms);
    void noViolations();
    void settle();

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

void TestProfileGunEndToEnd::initTestCase() {
    QVERIFY(dir.isValid());
    QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "runs under xvfb-run");
    QVERIFY2(runTool("xdotool", {"version"}), "xdotool");
}

void TestProfileGunEndToEnd::cleanup() {
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

bool TestProfileGunEndToEnd::start(const QString &family, bool twoProfiles) {
    const QString base = dir.path() + QStringLiteral("/run%1").arg(++run);
    const QFileInfo built(QStringLiteral(PROGRAM_PATH));
    appFolder = base + "/app";
    if (!copyTree(built.absolutePath() + "/modules", appFolder + "/modules"))
        return false;
    const QString program = appFolder + '/' + built.fileName();
    if (!QFile::copy(built.absoluteFilePath(), program) ||
        !QFile::setPermissions(program, QFile::permissions(built.absoluteFilePath())))
        return false;

    const QString setting = appFolder + "/modules/setting/";
    QByteArray config = readFile(setting + "apConfig.bin");
    if (config.isEmpty())
        return false;
    config.replace("icType=553", "icType=" + family.toLatin1());
    if (!writeFile(setting + "apConfig.bin", config))
        return false;
    if (twoProfiles) {
        const QByteArray standard = readFile(setting + "pD.bin");
        if (standard.isEmpty() || !writeFile(setting + "p1.bin", standard) ||
            !writeFile(setting + "p2.bin", secondProfile(standard)) ||
            !writeFile(setting + "name.bin", "[profile]\nprofileName=Standard0, Second1\n"))
            return false;
    }

    const QString deviceFile = base + "/device.json";
    if (!writeFile(deviceFile, QJsonDocument(QJsonObject{{"family", family}}).toJson()))
        return false;
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
    if (!app.waitForStarted(10000) || waitForLine("runUI", 40000) < 0)
        return false;

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
                QTest::qWait(1800); // past the start-up lock
                return true;
            }
        QTest::qWait(200);
    }
    return false;
}

int TestProfileGunEndToEnd::waitForLine(const QString &text, int timeoutMs) {
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

bool TestProfileGunEndToEnd::control(const QByteArray &command) {
    const int fd = ::open(QFile::encodeName(controlPipe).constData(), O_WRONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    const QByteArray line = command + '\n';
    const bool ok = ::write(fd, line.constData(), size_t(line.size())) == line.size();
    ::close(fd);
    return ok;
}

QJsonObject TestProfileGunEndToEnd::dump() {
    static int n = 0;
    const QString path = dir.path() + QStringLiteral("/state%1.json").arg(++n);
    if (!control("dump " + QFile::encodeName(path)))
        return {};
    QDeadlineTimer deadline(5000);
    while (!deadline.hasExpired()) {
        const QJsonDocument doc = QJsonDocument::fromJson(readFile(path));
        if (doc.isObject())
            return doc.object();
        QTest::qWait(50);
    }
    return {};
}

QJsonObject TestProfileGunEndToEnd::waitFor(const std::function<bool(const QJsonObject &)> &done,
                                            int ms) {
    QDeadlineTimer deadline(ms);
    QJsonObject s;
    while (!(s = dump()).isEmpty() && !done(s) && !deadline.hasExpired())
        QTest::qWait(250);
    return s;
}

bool TestProfileGunEndToEnd::click(int x, int y) {
    const bool ok = runTool("xdotool", {"mousemove", "--sync", QString::number(winX + x),
                                        QString::number(winY + y), "click", "1"});
    QTest::qWait(400); // lists slide in under 200 ms
    return ok;
}

bool TestProfileGunEndToEnd::typeInto(int x, int y, const QString &text) {
    return click(x, y) && runTool("xdotool", {"key", "ctrl+a"}) &&
           runTool("xdotool", {"type", text}) && runTool("xdotool", {"key", "Return"});
}

void TestProfileGunEndToEnd::shot(const QString &name) {
    runTool("import", {"-window", "root", QDir::currentPath() + '/' + name + ".png"});
}

// What a profile switch puts on the mouse, per family.
QJsonObject TestProfileGunEndToEnd::summary(const QJsonObject &s, const QString &family) {
    const QString keys = s.value("keyMatrix").toObject().value("1").toString();
    if (family == "553")
        return {{"stages", s.value("dpiStages").toInt()},
                {"codes", bytes(s.value("dpiCodes").toString(), 0, 8)},
                {"rate", s.value("reportRate").toInt()},
                {"light", s.value("ledEffect").toString()},
                {"keys", keys}};
    const QString image1 = s.value("profiles").toObject().value("1").toString();
    return {{"stages", bytes(image1, 100, 1)},
            {"codes", bytes(image1, 84, 8)},
            {"rate", s.value("profileReportRate").toObject().value("1").toInt()},
            {"light", bytes(image1, 71, 3)},
            {"keys", keys}};
}

// A switch sends page after page under the busy lock; the window takes
// clicks again once the mouse has heard nothing new for a while.
void TestProfileGunEndToEnd::settle() {
    QDeadlineTimer deadline(20000);
    qint64 size = -1;
    while (!deadline.hasExpired()) {
        const qint64 now = QFileInfo(wireLog).size();
        if (now == size)
            break;
        size = now;
        QTest::qWait(1500);
    }
}

void TestProfileGunEndToEnd::noViolations() {
    const QByteArray wire = readFile(wireLog);
    QVERIFY(!wire.isEmpty());
    QVERIFY2(!wire.contains("\"op\":\"violation\""), wire.right(2000).constData());
}

void TestProfileGunEndToEnd::switchSendsTheNewProfile_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<QJsonValue>("secondStages");
    QTest::addColumn<QJsonValue>("standardStages");
    QTest::newRow("553") << QStringLiteral("553") << QJsonValue(3) << QJsonValue(4);
    QTest::newRow("560") << QStringLiteral("560") << QJsonValue("07") << QJsonValue("0f");
}

// Switch to the second profile, then back: each switch sends all of the
// chosen profile, so every setting comes out different the first time and
// as the standard profile's the second.
void TestProfileGunEndToEnd::switchSendsTheNewProfile() {
    QFETCH(QString, family);
    QFETCH(QJsonValue, secondStages);
    QFETCH(QJsonValue, standardStages);
    QVERIFY2(start(family, true), qPrintable(lines.join('\n')));

    QVERIFY(click(kProfileList[0], kProfileList[1]));
    shot("profile_list_" + family);
    QVERIFY(click(kProfileList[0], kProfileList[1] + 12 + kListRow + kListRow / 2));
    const QJsonObject second = summary(
        waitFor([&](const QJsonObject &s) { return summary(s, family)["stages"] == secondStages; },
                20000),
        family);
    QCOMPARE(second["stages"], secondStages);
    QCOMPARE(second["codes"].toString().left(8), QStringLiteral("07 0f 17"));
    settle();

    QVERIFY(click(kProfileList[0], kProfileList[1]));
    QVERIFY(click(kProfileList[0], kProfileList[1] + 12 + kListRow / 2));
    const QJsonObject standard = summary(
        waitFor(
            [&](const QJsonObject &s) { return summary(s, family)["stages"] == standardStages; },
            20000),
        family);
    QCOMPARE(standard["stages"], standardStages);
    QCOMPARE(standard["codes"].toString().left(11), QStringLiteral("04 09 0e 13"));
    for (const char *key : {"rate", "light", "keys"})
        QVERIFY2(second[key] != standard[key],
                 qPrintable(QString(key) + ": " + QJsonDocument(second).toJson() +
                            QJsonDocument(standard).toJson()));
    QVERIFY(!second["keys"].toString().isEmpty());

    const QByteArray stored = readFile(appFolder + "/modules/setting/apConfig.bin");
    QVERIFY2(stored.contains("profileNo=0"), stored.constData());
    noViolations();
}

void TestProfileGunEndToEnd::gunSlotTwoReachesTheMouse_data() {
    QTest::addColumn<QString>("family");
    QTest::newRow("553") << QStringLiteral("553");
    QTest::newRow("560") << QStringLiteral("560");
}

// Slot 2 uses the second preset; its Y and shot count are changed and the
// editor closed, which sends the slots.
void TestProfileGunEndToEnd::gunSlotTwoReachesTheMouse() {
    QFETCH(QString, family);
    QVERIFY2(start(family, false), qPrintable(lines.join('\n')));

    // the gun editor row of the left column, below the key matrix panel
    const int keyRows = 8;
    const int editorTop = 88 + 40 + 24 * keyRows + 2 * (keyRows - 1) + 8 + 8;
    QVERIFY(click(24 + 116, editorTop + 65 + 12));
    QVERIFY(click(kSlotList[0], kSlotList[1]));
    QVERIFY(click(kSlotList[0], kSlotList[1] + 12 + kListRow + kListRow / 2));
    QVERIFY(typeInto(kYBox[0], kYBox[1], "33"));
    QVERIFY(typeInto(kTimesBox[0], kTimesBox[1], "5"));
    shot("gun_editor_" + family);
    QVERIFY(click(kGunClose[0], kGunClose[1]));

    auto done = [&](const QJsonObject &s) {
        if (family == "553")
            return s.value("gunData").toObject().value("1").toString() == "05 00 21";
        return bytes(s.value("profiles").toObject().value("3").toString(), 78, 4) == "f0 05 00 21";
    };
    const QJsonObject s = waitFor(done, 20000);
    QVERIFY2(done(s), QJsonDocument(s).toJson().constData());
    // the other slots are sent as they were
    if (family == "553")
        QCOMPARE(s.value("gunData").toObject().value("0").toString(), QStringLiteral("00 00 0a"));
    else
        QCOMPARE(bytes(s.value("profiles").toObject().value("2").toString(), 78, 4),
                 QStringLiteral("f0 00 00 0a"));

    const QByteArray presets = readFile(appFolder + "/modules/gun/gunData.bin");
    QVERIFY2(presets.contains("1=AKM, L-Click, 10, 0, 33, 5"), presets.constData());
    noViolations();
}

QTEST_GUILESS_MAIN(TestProfileGunEndToEnd)

#include "tst_profile_gun_e2e.moc"
