#include "e2e_support.h"

#include "virtual_mouse.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace e2e {

bool runTool(const QString &tool, const QStringList &args, QByteArray *out, int timeoutMs) {
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(timeoutMs) || p.exitStatus() != QProcess::NormalExit ||
        p.exitCode() != 0) {
        p.kill();
        p.waitForFinished(2000);
        return false;
    }
    if (out)
        *out = p.readAllStandardOutput();
    return true;
}

QString bytes(const QString &hex, int first, int count) {
    return hex.split(' ').mid(first, count).join(' ');
}

QByteArray fromHex(const QString &hex) {
    return QByteArray::fromHex(hex.toLatin1());
}

QByteArray commandBlock(const QString &featureHex, bool scrambled, const QString &sCode) {
    QByteArray report = fromHex(featureHex);
    if (report.size() < 9)
        return {};
    QByteArray block = report.mid(1, 8);
    if (scrambled) {
        uint8_t code[8] = {};
        for (int i = 0; i < 6 && i < sCode.size(); ++i)
            code[i + 1] = uint8_t(sCode.at(i).toLatin1());
        VirtualMouse::unscramble(reinterpret_cast<uint8_t *>(block.data()), code);
    }
    return block;
}

} // namespace e2e

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

bool writeFile(const QString &path, const QByteArray &data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

void setKey(QByteArray &ini, const QByteArray &key, const QByteArray &value) {
    const QRegularExpression re(QStringLiteral("(?m)^%1=.*$").arg(QString::fromLatin1(key)));
    QString text = QString::fromLatin1(ini);
    text.replace(re, QString::fromLatin1(key + '=' + value));
    ini = text.toLatin1();
}

} // namespace

E2eProgram::E2eProgram(const QString &root) : m_root(root) {
    m_proc.setProcessChannelMode(QProcess::MergedChannels);
}

E2eProgram::~E2eProgram() {
    if (m_proc.state() != QProcess::NotRunning) {
        m_proc.kill();
        m_proc.waitForFinished(5000);
    }
}

bool E2eProgram::prepare(const E2eDevice &device,
                         const std::function<bool(QByteArray &)> &editConfig) {
    static int runs = 0;
    m_base = m_root + QStringLiteral("/run%1").arg(++runs);
    const QFileInfo built(QStringLiteral(PROGRAM_PATH));
    m_app = m_base + "/app";
    if (!copyTree(built.absolutePath() + "/modules", m_app + "/modules"))
        return false;
    m_program = m_app + '/' + built.fileName();
    if (!QFile::copy(built.absoluteFilePath(), m_program) ||
        !QFile::setPermissions(m_program, QFile::permissions(built.absoluteFilePath())))
        return false;

    const QString config = QStringLiteral("modules/setting/apConfig.bin");
    QByteArray text = readAppFile(config);
    if (text.isEmpty())
        return false;
    setKey(text, "icType", device.family.toLatin1());
    setKey(text, "isEncode", device.encode ? "true" : "false");
    setKey(text, "isGun", device.gun ? "true" : "false");
    if (editConfig && !editConfig(text))
        return false;
    if (!writeAppFile(config, text))
        return false;

    m_deviceFile = m_base + "/device.json";
    const QJsonObject mouse{
        {"family", device.family}, {"isEncode", device.encode}, {"isGun", device.gun}};
    if (!writeFile(m_deviceFile, QJsonDocument(mouse).toJson()))
        return false;

    m_pipe = m_base + "/control";
    m_log = m_base + "/wire.log";
    return ::mkfifo(QFile::encodeName(m_pipe).constData(), 0600) == 0;
}

QByteArray E2eProgram::readAppFile(const QString &relative) const {
    QFile f(m_app + '/' + relative);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool E2eProgram::writeAppFile(const QString &relative, const QByteArray &data) const {
    return writeFile(m_app + '/' + relative, data);
}

QProcessEnvironment E2eProgram::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("SKARN_VIRTUAL_CONTROL", m_pipe);
    env.insert("SKARN_VIRTUAL_LOG", m_log);
    env.insert("SKARN_VIRTUAL_DEVICE", m_deviceFile);
    env.insert("QT_LOGGING_RULES", "skarn.shell.debug=true");
    return env;
}

bool E2eProgram::launch() {
    m_lines.clear();
    m_pending.clear();
    m_winId.clear();
    m_proc.setProcessEnvironment(environment());
    // Started from elsewhere: the program must find its files by itself.
    m_proc.setWorkingDirectory(m_base);
    m_proc.start(m_program, {});
    return m_proc.waitForStarted(10000);
}

bool E2eProgram::start() {
    return launch() && waitForLine("runUI", 40000) >= 0 && findWindow(15000);
}

int E2eProgram::startAgain(int timeoutMs) {
    QProcess second;
    second.setProcessEnvironment(environment());
    second.setWorkingDirectory(m_base);
    second.start(m_program, {});
    if (!second.waitForFinished(timeoutMs)) {
        second.kill();
        second.waitForFinished(2000);
        return -1;
    }
    return second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1;
}

int E2eProgram::quit() {
    if (m_proc.state() == QProcess::NotRunning)
        return m_proc.exitStatus() == QProcess::NormalExit ? m_proc.exitCode() : -1;
    m_proc.terminate();
    if (!m_proc.waitForFinished(15000)) {
        m_proc.kill();
        m_proc.waitForFinished(5000);
        return -1;
    }
    readOutput();
    return m_proc.exitStatus() == QProcess::NormalExit ? m_proc.exitCode() : -1;
}

bool E2eProgram::running() const {
    return m_proc.state() == QProcess::Running;
}

void E2eProgram::readOutput() {
    m_pending += m_proc.readAll();
    int newline;
    while ((newline = m_pending.indexOf('\n')) >= 0) {
        m_lines << QString::fromUtf8(m_pending.left(newline));
        m_pending.remove(0, newline + 1);
    }
}

int E2eProgram::waitForLine(const QString &text, int timeoutMs, int from) {
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        for (int i = from; i < m_lines.size(); ++i)
            if (m_lines.at(i).contains(text))
                return i;
        from = qMax(from, int(m_lines.size()));
        if (deadline.hasExpired() || m_proc.state() == QProcess::NotRunning) {
            readOutput();
            for (int i = from; i < m_lines.size(); ++i)
                if (m_lines.at(i).contains(text))
                    return i;
            return -1;
        }
        m_proc.waitForReadyRead(100);
        readOutput();
    }
}

int E2eProgram::countLines(const QString &text, int from) const {
    int n = 0;
    for (int i = from; i < m_lines.size(); ++i)
        n += m_lines.at(i).contains(text) ? 1 : 0;
    return n;
}

bool E2eProgram::control(const QByteArray &command) {
    const int fd = ::open(QFile::encodeName(m_pipe).constData(), O_WRONLY | O_NONBLOCK);
    if (fd < 0)
        return false;
    const QByteArray line = command + '\n';
    const bool ok = ::write(fd, line.constData(), size_t(line.size())) == line.size();
    ::close(fd);
    return ok;
}

QJsonObject E2eProgram::dump() {
    const QString path = m_base + QStringLiteral("/state%1.json").arg(++m_dumps);
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

QJsonObject E2eProgram::dumpUntil(const std::function<bool(const QJsonObject &)> &done,
                                  int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    QJsonObject s;
    while (!(s = dump()).isEmpty() && !done(s) && !deadline.hasExpired())
        QTest::qWait(250);
    return s;
}

bool E2eProgram::findWindow(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QByteArray ids;
        if (e2e::runTool("xdotool",
                         {"search", "--onlyvisible", "--pid", QString::number(m_proc.processId())},
                         &ids))
            for (const QByteArray &id : ids.split('\n')) {
                QByteArray geometry;
                if (id.isEmpty() ||
                    !e2e::runTool("xdotool",
                                  {"getwindowgeometry", "--shell", QString::fromLatin1(id)},
                                  &geometry))
                    continue;
                const QString g = QString::fromLatin1(geometry);
                if (!g.contains("WIDTH=1024") || !g.contains("HEIGHT=640"))
                    continue;
                m_winX = QRegularExpression("X=(-?\\d+)").match(g).captured(1).toInt();
                m_winY = QRegularExpression("Y=(-?\\d+)").match(g).captured(1).toInt();
                m_winId = QString::fromLatin1(id);
                return true;
            }
        QTest::qWait(100);
    }
    return false;
}

bool E2eProgram::windowVisible() {
    QByteArray ids;
    return e2e::runTool("xdotool",
                        {"search", "--onlyvisible", "--pid", QString::number(m_proc.processId())},
                        &ids) &&
           !ids.trimmed().isEmpty();
}

bool E2eProgram::click(int x, int y, int settleMs) {
    // No --sync: it waits for a motion that never comes when the pointer is
    // already there.
    const bool ok =
        e2e::runTool("xdotool", {"mousemove", QString::number(m_winX + x),
                                 QString::number(m_winY + y), "sleep", "0.05", "click", "1"});
    // lists slide open and closed in under 200 ms
    QTest::qWait(settleMs);
    return ok;
}

bool E2eProgram::doubleClick(int x, int y) {
    const bool ok = e2e::runTool("xdotool", {"mousemove", QString::number(m_winX + x),
                                             QString::number(m_winY + y), "sleep", "0.05", "click",
                                             "--repeat", "2", "--delay", "80", "1"});
    QTest::qWait(400);
    return ok;
}

bool E2eProgram::drag(int x, int y, int dy) {
    const QString sx = QString::number(m_winX + x);
    bool ok = e2e::runTool("xdotool", {"mousemove", sx, QString::number(m_winY + y), "sleep",
                                       "0.05", "mousedown", "1"});
    for (int step = 1; ok && step <= 4; ++step)
        ok = e2e::runTool("xdotool",
                          {"mousemove", "--sync", sx, QString::number(m_winY + y + dy * step / 4)});
    ok = e2e::runTool("xdotool", {"mouseup", "1"}) && ok;
    QTest::qWait(300);
    return ok;
}

bool E2eProgram::typeInto(int x, int y, const QString &text) {
    return click(x, y) && key("ctrl+a") && e2e::runTool("xdotool", {"type", text}) && key("Return");
}

bool E2eProgram::key(const QString &keys) {
    const bool ok = e2e::runTool("xdotool", {"key", keys});
    QTest::qWait(150);
    return ok;
}

QString E2eProgram::screenshot(const QString &name) {
    const QString path = QDir::currentPath() + "/e2e_" + name + ".png";
    return e2e::runTool("import", {"-window", "root", path}, nullptr, 20000) ? path : QString();
}

QList<QJsonObject> E2eProgram::wire(int from) const {
    QList<QJsonObject> records;
    QFile f(m_log);
    if (!f.open(QIODevice::ReadOnly))
        return records;
    int n = 0;
    while (!f.atEnd()) {
        const QByteArray line = f.readLine().trimmed();
        if (line.isEmpty())
            continue;
        if (n++ < from)
            continue;
        records << QJsonDocument::fromJson(line).object();
    }
    return records;
}

QStringList E2eProgram::violations() const {
    QStringList texts;
    for (const QJsonObject &r : wire())
        if (r.value("op").toString() == "violation")
            texts << r.value("text").toString();
    return texts;
}

bool E2eProgram::waitIdle(int quietMs, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    int last = -1;
    QDeadlineTimer quiet(quietMs);
    while (!deadline.hasExpired()) {
        int commands = 0;
        for (const QJsonObject &r : wire())
            commands += r.value("iface").toString() == "command" ? 1 : 0;
        if (commands != last) {
            last = commands;
            quiet.setRemainingTime(quietMs);
        } else if (quiet.hasExpired()) {
            return true;
        }
        QTest::qWait(100);
    }
    return false;
}
