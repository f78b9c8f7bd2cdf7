// Three DPI stages and a lighting choice made with the pointer in the
// running virtual program, saved, and read back from the simulated mouse.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
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

// Positions in the 1024 x 640 window: the DPI panel sits at 768,56 with its
// stage-count list 128 px in; the lighting panel below it at 768,320 with its
// effect list 80 px in; Save is the last of the bottom buttons.
constexpr int kStageList[2] = {768 + 128 + 32, 56 + 8 + 12};
constexpr int kEffectList[2] = {768 + 80 + 60, 320 + 8 + 12};
constexpr int kSave[2] = {1024 - 24 - 32, 640 - 8 - 12};
constexpr int kListRow = 24;

} // namespace

class TestDpiLightEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void stagesAndLightReachTheMouse_data();
    void stagesAndLightReachTheMouse();

private:
    bool start(const QString &family);
    int waitForLine(const QString &text, int timeoutMs);
    bool control(const QByteArray &command);
    QJsonObject dump();
    bool click(int x, int y);
    bool typeInto(int x, int y, const QString &text);

    QTemporaryDir dir;
    QString controlPipe;
    QString wireLog;
    QProcess app;
    QStringList lines;
    QByteArray pending;
    int winX = 0;
    int winY = 0;
    int run = 0;
};

void TestDpiLightEndToEnd::initTestCase() {
    QVERIFY(dir.isValid());
    QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "runs under xvfb-run");
    QVERIFY2(runTool("xdotool", {"version"}), "xdotool");
}

void TestDpiLightEndToEnd::cleanup() {
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

bool TestDpiLightEndToEnd::start(const QString &family) {
    // A private copy per run: its own settings files and its own instance.
    const QString base = dir.path() + QStringLiteral("/run%1").arg(++run);
    const QFileInfo built(QStringLiteral(PROGRAM_PATH));
    const QString appFolder = base + "/app";
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

int TestDpiLightEndToEnd::waitForLine(const QString &text, int timeoutMs) {
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

bool TestDpiLightEndToEnd::control(const QByteArray &command) {
    const int fd = ::open(QFile::encodeName(controlPipe).constData(), O_WRONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    const QByteArray line = command + '\n';
    const bool ok = ::write(fd, line.constData(), size_t(line.size())) == line.size();
    ::close(fd);
    return ok;
}

QJsonObject TestDpiLightEndToEnd::dump() {
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

bool TestDpiLightEndToEnd::click(int x, int y) {
    const bool ok = runTool("xdotool", {"mousemove", "--sync", QString::number(winX + x),
                                        QString::number(winY + y), "click", "1"});
    // lists slide open and closed in under 200 ms
    QTest::qWait(400);
    return ok;
}

bool TestDpiLightEndToEnd::typeInto(int x, int y, const QString &text) {
    return click(x, y) && runTool("xdotool", {"key", "ctrl+a"}) &&
           runTool("xdotool", {"type", text}) && runTool("xdotool", {"key", "Return"});
}

void TestDpiLightEndToEnd::stagesAndLightReachTheMouse_data() {
    QTest::addColumn<QString>("family");
    QTest::newRow("553") << QStringLiteral("553");
    QTest::newRow("560") << QStringLiteral("560");
}

void TestDpiLightEndToEnd::stagesAndLightReachTheMouse() {
    QFETCH(QString, family);
    QVERIFY2(start(family), qPrintable(lines.join('\n')));

    // Three stages: open the list and take its third row, then Save.
    QVERIFY(click(kStageList[0], kStageList[1]));
    QVERIFY(click(kStageList[0] - 20, kStageList[1] + 12 + 2 * kListRow + kListRow / 2));
    QVERIFY(click(kSave[0], kSave[1]));

    // Stages 1..3 hold 500, 1000, 1500 (sensor 3360: value / 100 - 1).
    const QString ownCodes = "04 09 0e";
    QJsonObject s;
    QDeadlineTimer deadline(20000);
    auto stagesDone = [&] {
        if (family == "553")
            return s.value("dpiStages").toInt() == 3 &&
                   bytes(s.value("dpiCodes").toString(), 0, 8) == ownCodes + " 80 80 80 80 80";
        const QJsonObject images = s.value("profiles").toObject();
        for (const QString image : {"1", "2", "3", "4"}) {
            const QString hex = images.value(image).toString();
            if (bytes(hex, 100, 1) != "07" || bytes(hex, 84, 3) != ownCodes)
                return false;
        }
        return true;
    };
    while (!(s = dump()).isEmpty() && !stagesDone() && !deadline.hasExpired())
        QTest::qWait(250);
    QVERIFY2(stagesDone(), QJsonDocument(s).toJson().constData());

    // Breath, then block 0 typed as 0, 128, 255; then Save. Choosing Breath
    // shows the speed row only, which puts the R, G, B boxes 177 px into
    // the panel.
    QVERIFY(click(kEffectList[0], kEffectList[1]));
    QVERIFY(click(kEffectList[0] - 20, kEffectList[1] + 12 + kListRow + kListRow / 2));
    const int boxesY = 320 + 177 + 8;
    QVERIFY(typeInto(768 + 52, boxesY, "0"));
    QVERIFY(typeInto(768 + 112, boxesY, "128"));
    QVERIFY(typeInto(768 + 172, boxesY, "255"));
    QVERIFY(click(kSave[0], kSave[1]));

    // Colour Breath at speed index 0: effect 3, value 0, speed 10.
    const QString effect = "03 00 0a";
    const QString colours =
        "00 80 ff 00 ff 00 00 00 ff ff 00 ff 00 ff ff ff 7f 00 60 00 ff ff ff ff";
    deadline.setRemainingTime(20000);
    auto lightDone = [&] {
        if (family == "553")
            return s.value("ledEffect").toString() == effect &&
                   s.value("ledColors").toString() == colours;
        const QJsonObject images = s.value("profiles").toObject();
        for (const QString image : {"1", "2", "3", "4"})
            if (bytes(images.value(image).toString(), 71, 3) != effect)
                return false;
        return bytes(images.value("0").toString(), 24, 24) == colours;
    };
    while (!(s = dump()).isEmpty() && !lightDone() && !deadline.hasExpired())
        QTest::qWait(250);

    runTool("import",
            {"-window", "root", QDir::currentPath() + "/dpi_light_e2e_" + family + ".png"});
    QVERIFY2(lightDone(), QJsonDocument(s).toJson().constData());

    QFile log(wireLog);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray wire = log.readAll();
    QVERIFY2(!wire.contains("\"op\":\"violation\""), wire.right(2000).constData());
}

QTEST_GUILESS_MAIN(TestDpiLightEndToEnd)

#include "tst_dpi_light_e2e.moc"
