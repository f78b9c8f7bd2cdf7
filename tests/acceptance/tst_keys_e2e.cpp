// A button given a media key through the picture and the key assignment
// dialog in the running virtual program, saved, then read back from the
// simulated mouse's key matrix 1.
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

// Entry `index` (four bytes) of a 64-byte firmware hex text.
QString entryAt(const QString &hex, int index) {
    return hex.split(' ').mid(index * 4, 4).join(' ');
}

// Window positions (1024 x 640). The dialog (416 x 404) opens centred; its
// content starts 41 px below its top and scrolls 830 / 212 px per pixel the
// handle moves.
constexpr int kDialog[2] = {(1024 - 416) / 2, (640 - 404) / 2};
constexpr int kHandle[2] = {kDialog[0] + 402 + 6, kDialog[1] + 42 + 100};
constexpr int kHandleDrag = 50;
constexpr double kScrolled = kHandleDrag * 830.0 / 212.0;
constexpr int kMediaGridTop = int(kDialog[1] + 41 + 330 - kScrolled);
constexpr int kMediaBox[2] = {kDialog[0] + 48 + 40, kMediaGridTop + 12};
// Cell 4 ("Mute"): second row, second column of the opened grid.
constexpr int kMuteCell[2] = {kDialog[0] + 48 + 107 + 53, kMediaGridTop + 24 + 24 + 12};
constexpr int kDialogClose[2] = {kDialog[0] + 416 - 16 - 8, kDialog[1] + 12 + 8};
constexpr int kSave[2] = {1024 - 24 - 32, 640 - 8 - 12};
// The number box of the sixth button on the picture (index 5).
constexpr int kButtonBox[2] = {608 + 24, 283 + 12};

} // namespace

class TestKeysEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void mediaKeyReachesTheMouse_data();
    void mediaKeyReachesTheMouse();

private:
    bool start(const QString &family);
    int waitForLine(const QString &text, int timeoutMs);
    bool control(const QByteArray &command);
    QJsonObject dump();
    bool click(int x, int y);
    bool drag(int x, int y, int dy);
    void shot(const QString &name);

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

void TestKeysEndToEnd::initTestCase() {
    QVERIFY(dir.isValid());
    QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "runs under xvfb-run");
    QVERIFY2(runTool("xdotool", {"version"}), "xdotool");
}

void TestKeysEndToEnd::cleanup() {
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

bool TestKeysEndToEnd::start(const QString &family) {
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

int TestKeysEndToEnd::waitForLine(const QString &text, int timeoutMs) {
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

bool TestKeysEndToEnd::control(const QByteArray &command) {
    const int fd = ::open(QFile::encodeName(controlPipe).constData(), O_WRONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    const QByteArray line = command + '\n';
    const bool ok = ::write(fd, line.constData(), size_t(line.size())) == line.size();
    ::close(fd);
    return ok;
}

QJsonObject TestKeysEndToEnd::dump() {
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

bool TestKeysEndToEnd::click(int x, int y) {
    const bool ok = runTool("xdotool", {"mousemove", "--sync", QString::number(winX + x),
                                        QString::number(winY + y), "click", "1"});
    // grids slide open and closed in under 200 ms
    QTest::qWait(400);
    return ok;
}

bool TestKeysEndToEnd::drag(int x, int y, int dy) {
    const QString sx = QString::number(winX + x);
    bool ok = runTool("xdotool", {"mousemove", "--sync", sx, QString::number(winY + y)}) &&
              runTool("xdotool", {"mousedown", "1"});
    for (int step = 1; ok && step <= 4; ++step)
        ok = runTool("xdotool",
                     {"mousemove", "--sync", sx, QString::number(winY + y + dy * step / 4)});
    ok = runTool("xdotool", {"mouseup", "1"}) && ok;
    QTest::qWait(300);
    return ok;
}

void TestKeysEndToEnd::shot(const QString &name) {
    runTool("import", {"-window", "root", QDir::currentPath() + "/keys_e2e_" + name + ".png"});
}

void TestKeysEndToEnd::mediaKeyReachesTheMouse_data() {
    QTest::addColumn<QString>("family");
    QTest::newRow("553") << QStringLiteral("553");
    QTest::newRow("560") << QStringLiteral("560");
}

// The sixth button (index 5) becomes "Mute" (3, 0, 0xE2, 0). The mouse
// keeps buttons 5, 6 and 7 rotated: its position 6 holds button 5, position
// 5 holds button 7 (the double click) and position 7 holds button 6 (DPI-).
void TestKeysEndToEnd::mediaKeyReachesTheMouse() {
    QFETCH(QString, family);
    QVERIFY2(start(family), qPrintable(lines.join('\n')));

    QVERIFY(click(kButtonBox[0], kButtonBox[1]));
    QVERIFY(drag(kHandle[0], kHandle[1], kHandleDrag));
    QVERIFY(click(kMediaBox[0], kMediaBox[1]));
    QVERIFY(click(kMuteCell[0], kMuteCell[1]));
    shot("assigned_" + family);
    QVERIFY(click(kDialogClose[0], kDialogClose[1]));
    QVERIFY(click(kSave[0], kSave[1]));

    QJsonObject s;
    QString matrix;
    QDeadlineTimer deadline(20000);
    auto done = [&] {
        matrix = s.value("keyMatrix").toObject().value("1").toString();
        return entryAt(matrix, 6) == "03 00 e2 00";
    };
    while (!(s = dump()).isEmpty() && !done() && !deadline.hasExpired())
        QTest::qWait(250);
    shot("saved_" + family);
    QVERIFY2(done(), qPrintable(matrix));
    QCOMPARE(entryAt(matrix, 5), QStringLiteral("0a f0 1e 03"));
    QCOMPARE(entryAt(matrix, 7), QStringLiteral("07 00 02 00"));
    QCOMPARE(entryAt(matrix, 0), QStringLiteral("01 00 f0 00"));

    QFile log(wireLog);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray wire = log.readAll();
    QVERIFY2(!wire.contains("\"op\":\"violation\""), wire.right(2000).constData());
}

QTEST_GUILESS_MAIN(TestKeysEndToEnd)

#include "tst_keys_e2e.moc"
