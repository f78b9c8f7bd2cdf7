#include "program.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool runTool(const QString &tool, const QStringList &args, QByteArray *out) {
    QProcess p;
    p.start(tool, args);
    const bool ok =
        p.waitForFinished(15000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (out)
        *out = p.readAllStandardOutput();
    return ok;
}

Program::Program(const QString &root) : m_base(root) {
    m_proc.setProcessChannelMode(QProcess::MergedChannels);
}

bool Program::prepare(const Mouse &mouse) {
    const QFileInfo built(QStringLiteral(PROGRAM_PATH));
    m_app = m_base + "/app";
    m_name = built.fileName();
    if (!QDir().mkpath(m_app) ||
        QProcess::execute("cp", {"-a", built.absolutePath() + "/modules", built.filePath(), m_app}))
        return false;
    const QJsonObject device{
        {"icType", mouse.family}, {"isEncode", mouse.encode}, {"isGun", mouse.gun}};
    QString list = QString::fromLatin1(read("modules/setting/apConfig.bin"));
    for (auto it = device.begin(); it != device.end(); ++it)
        list.replace(QRegularExpression("(?m)^" + it.key() + "=.*$"),
                     it.key() + '=' + it->toVariant().toString());
    m_pipe = m_base + "/control";
    env = QProcessEnvironment::systemEnvironment();
    env.insert("SKARN_VIRTUAL_CONTROL", m_pipe);
    env.insert("SKARN_VIRTUAL_LOG", path("../wire.log"));
    env.insert("SKARN_VIRTUAL_DEVICE", path("../device.json"));
    env.insert("QT_LOGGING_RULES", "skarn.shell.debug=true");
    QJsonObject mouseFile = device;
    mouseFile.insert("family", mouse.family);
    return write("modules/setting/apConfig.bin", list.toLatin1()) &&
           write("../device.json", QJsonDocument(mouseFile).toJson()) &&
           ::mkfifo(QFile::encodeName(m_pipe).constData(), 0600) == 0;
}

QByteArray Program::read(const QString &relative) const {
    QFile f(path(relative));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool Program::write(const QString &relative, const QByteArray &data) const {
    QFile f(path(relative));
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

bool Program::launch() {
    m_lines.clear();
    m_pending.clear();
    m_proc.setProcessEnvironment(env);
    m_proc.setWorkingDirectory(m_base); // it must find its files by itself
    m_proc.start(program(), {});
    return m_proc.waitForStarted(10000);
}

bool Program::start() {
    return launch() && waitForLine("runUI", 40000) >= 0 && findWindow(15000) && waitShown();
}

bool Program::waitShown() {
    // The panels show when the start-up logo goes, with the start-up lock.
    const auto panels = [this] {
        const QRgb accent = grab({480, 44, 1, 1}).pixel(0, 0);
        return qRed(accent) > 150 && qGreen(accent) < 110;
    };
    return QTest::qWaitFor(panels, 10000) && settle({});
}

bool Program::idle(int timeoutMs) {
    // A command holds the scene's thread, so a still window alone does not
    // tell: the mouse must also have heard nothing for a while.
    QDeadlineTimer deadline(timeoutMs), quiet(700);
    qsizetype last = -1;
    QImage shown;
    while (!deadline.hasExpired()) {
        const qsizetype sent = read("../wire.log").count("\"iface\":\"command\"");
        const QImage now = grab();
        if (sent != last || now != shown) {
            last = sent;
            shown = now;
            quiet.setRemainingTime(700);
        } else if (quiet.hasExpired()) {
            return true;
        }
        QTest::qWait(100);
    }
    return false;
}

int Program::startAgain() {
    QProcess second;
    second.setProcessEnvironment(env);
    second.start(program(), {});
    const bool ended = second.waitForFinished(20000);
    return ended && second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -1;
}

int Program::quit() {
    m_proc.terminate();
    if (!m_proc.waitForFinished(15000))
        return -1;
    readOutput();
    return m_proc.exitStatus() == QProcess::NormalExit ? m_proc.exitCode() : -1;
}

void Program::crash() {
    m_proc.kill(); // SIGKILL: its lock file and socket stay behind
    m_proc.waitForFinished(5000);
}

void Program::readOutput() {
    m_pending += m_proc.readAll();
    for (int nl; (nl = m_pending.indexOf('\n')) >= 0; m_pending.remove(0, nl + 1))
        m_lines << QString::fromUtf8(m_pending.left(nl));
}

int Program::waitForLine(const QString &text, int timeoutMs, int from) {
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        readOutput();
        for (int i = from; i < m_lines.size(); ++i)
            if (m_lines.at(i).contains(text))
                return i;
        if (deadline.hasExpired() || !running())
            return -1;
        m_proc.waitForReadyRead(50);
    }
}

const char *Program::since(int from) {
    readOutput();
    m_shown = m_lines.mid(from).join('\n').toLocal8Bit();
    return m_shown.constData();
}

bool Program::control(const QByteArray &command) {
    const int fd = ::open(QFile::encodeName(m_pipe).constData(), O_WRONLY | O_NONBLOCK);
    const QByteArray line = command + '\n';
    const bool ok = fd >= 0 && ::write(fd, line.constData(), size_t(line.size())) == line.size();
    if (fd >= 0)
        ::close(fd);
    return ok;
}

QJsonObject Program::dumpUntil(const std::function<bool(const QJsonObject &)> &done,
                               int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    QJsonObject state;
    for (;;) {
        const QString file = m_base + QStringLiteral("/state%1.json").arg(++m_dumps);
        if (!control("dump " + QFile::encodeName(file)))
            return {};
        (void)QTest::qWaitFor(
            [&] {
                QFile f(file);
                state = f.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(f.readAll()).object()
                                                    : QJsonObject();
                return !state.isEmpty();
            },
            5000);
        if (done(state) || deadline.hasExpired())
            return state;
        QTest::qWait(100);
    }
}

QStringList Program::violations() const {
    QStringList texts;
    for (const QByteArray &line : read("../wire.log").split('\n'))
        if (line.contains("\"op\":\"violation\""))
            texts << QString::fromUtf8(line);
    return texts;
}

bool Program::findWindow(int timeoutMs) {
    return QTest::qWaitFor(
        [&] {
            QByteArray ids, geometry;
            runTool("xdotool", {"search", "--onlyvisible", "--name", "SKARN SK-70"}, &ids);
            for (const QByteArray &id : ids.split('\n'))
                if (!id.isEmpty() &&
                    runTool("xdotool", {"getwindowgeometry", "--shell", id}, &geometry) &&
                    geometry.contains("WIDTH=1024") && geometry.contains("HEIGHT=640")) {
                    const QString g = QString::fromLatin1(geometry);
                    m_at = {QRegularExpression("X=(-?\\d+)").match(g).captured(1).toInt(),
                            QRegularExpression("Y=(-?\\d+)").match(g).captured(1).toInt()};
                    return true;
                }
            return false;
        },
        timeoutMs);
}

bool Program::visible() {
    QByteArray ids;
    runTool("xdotool", {"search", "--onlyvisible", "--pid", QString::number(pid())}, &ids);
    return !ids.trimmed().isEmpty();
}

QImage Program::grab(const QRect &area) const {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, m_at.x() + area.x(), m_at.y() + area.y(), area.width(), area.height())
        .toImage();
}

bool Program::settle(const QImage &before, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    QImage last = grab();
    bool changed = last != before;
    for (int still = 0; !deadline.hasExpired();) {
        QTest::qWait(50);
        const QImage now = grab();
        changed = changed || now != before;
        still = now == last ? still + 1 : 0;
        if (changed && still == 2)
            return true;
        last = now;
    }
    return false;
}

bool Program::click(QPoint at) {
    const QImage before = grab();
    // No --sync: it waits for a motion that never comes when the pointer is
    // already there.
    const bool ok = runTool("xdotool", {"mousemove", QString::number(m_at.x() + at.x()),
                                        QString::number(m_at.y() + at.y()), "click", "1"});
    settle(before);
    return ok;
}

bool Program::drag(QPoint at, int dy) {
    const QImage before = grab();
    QStringList steps;
    for (int step = 0; step <= 4; ++step) {
        steps << "mousemove" << QString::number(m_at.x() + at.x())
              << QString::number(m_at.y() + at.y() + dy * step / 4);
        if (step == 0)
            steps << "mousedown"
                  << "1";
    }
    const bool ok = runTool("xdotool", steps << "mouseup"
                                             << "1");
    settle(before);
    return ok;
}

bool Program::key(const QString &keys) {
    const QImage before = grab();
    const bool ok = runTool("xdotool", QStringList{"key", "--delay", "60"} + keys.split(' '));
    settle(before, 1500);
    return ok;
}

bool Program::type(QPoint at, const QString &text) {
    return click(at) && key("ctrl+a") && runTool("xdotool", {"type", text}) && key("Return");
}
