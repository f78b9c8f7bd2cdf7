#pragma once

// A private copy of the virtual program with its own simulated mouse, control
// pipe and wire log, driven like a user under Xvfb: clicks and keys through
// xdotool, the window read back from the X server (in a QGuiApplication).
#include <QImage>
#include <QJsonObject>
#include <QProcess>
#include <QRect>
#include <QStringList>

#include <functional>

struct Mouse {
    QString family = QStringLiteral("553");
    bool encode = false;
    bool gun = true;
};

class Program {
public:
    explicit Program(const QString &root); // a scratch folder
    // Copies the built program into root/app with a device list and a
    // simulated mouse that match `mouse`.
    bool prepare(const Mouse &mouse = {});
    QProcessEnvironment env;
    QString program() const { return m_app + '/' + m_name; }
    QString path(const QString &relative) const { return m_app + '/' + relative; }
    QByteArray read(const QString &relative) const;
    bool write(const QString &relative, const QByteArray &data) const;

    // Starts it from another folder; start() also waits for the panels.
    bool launch();
    bool start();
    bool waitShown(); // the panels are up after the start-up lock, all still
    // Nothing went to the mouse for a while and the window holds still.
    bool idle(int timeoutMs = 30000);
    // A further process of the same program; its exit status (-1: hung).
    int startAgain();
    int quit(); // SIGTERM, the session's end; the exit status (-1: killed)
    void crash();
    bool running() const { return m_proc.state() == QProcess::Running; }
    qint64 pid() const { return m_proc.processId(); }

    int waitForLine(const QString &text, int timeoutMs = 10000, int from = 0);
    int lineCount() const { return int(m_lines.size()); }
    const char *since(int from); // the output from line `from`, for messages

    bool control(const QByteArray &command);
    // The simulated mouse's state once `done` holds (the last one on time-out).
    QJsonObject dumpUntil(const std::function<bool(const QJsonObject &)> &done,
                          int timeoutMs = 20000);
    QStringList violations() const;

    // The window (found again after it moved or was hidden).
    bool findWindow(int timeoutMs = 10000);
    bool visible();
    QImage grab(const QRect &area = {0, 0, 1024, 640}) const;
    // Waits until the window has changed from `before` and then holds still
    // (lists and dialogs slide, "LOADING" pulses while the scene is busy).
    bool settle(const QImage &before, int timeoutMs = 3000);
    // Window-relative pointer and keys, each waiting for its effect.
    bool click(QPoint at);
    bool drag(QPoint at, int dy);
    bool key(const QString &keys);
    bool type(QPoint at, const QString &text); // into a box: select all, type, Return

private:
    void readOutput();

    QString m_base, m_app, m_name, m_pipe;
    QProcess m_proc;
    QStringList m_lines;
    QByteArray m_pending, m_shown;
    QPoint m_at;
    int m_dumps = 0;
};

bool runTool(const QString &tool, const QStringList &args, QByteArray *out = nullptr);
