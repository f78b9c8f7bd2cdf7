#pragma once

// Drives one private copy of the virtual program like a user does: its own
// folder (executable + modules/), its own simulated mouse, control pipe and
// wire log; clicks and keys through xdotool; screenshots with ImageMagick.
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

struct E2eDevice {
    QString family = QStringLiteral("553");
    bool encode = true;
    bool gun = true;
};

class E2eProgram {
public:
    // `root` is a scratch folder that outlives the program (a QTemporaryDir).
    explicit E2eProgram(const QString &root);
    ~E2eProgram();
    E2eProgram(const E2eProgram &) = delete;
    E2eProgram &operator=(const E2eProgram &) = delete;

    // Copies the program and its modules/ into a fresh folder and writes a
    // device list and a simulated mouse that match `device`. `editConfig`
    // may change the device list text afterwards (return false to fail).
    bool prepare(const E2eDevice &device, const std::function<bool(QByteArray &)> &editConfig = {});
    // Starts the prepared copy; returns once the scene runs and the window
    // is found (false when either does not happen in time).
    bool start();
    // Starts the prepared copy without waiting for anything.
    bool launch();
    // A further process of the same executable with the same environment;
    // returns its exit status, or -1 when it did not end in time.
    int startAgain(int timeoutMs = 20000);
    // The program's own quit path (SIGTERM -> Widget::exitSYS); the exit
    // status, or -1 when it had to be killed.
    int quit();
    bool running() const;

    // The first log line at or after `from` containing `text`; -1 on time-out.
    int waitForLine(const QString &text, int timeoutMs, int from = 0);
    int countLines(const QString &text, int from = 0) const;
    const QStringList &lines() const { return m_lines; }
    void readOutput();

    bool control(const QByteArray &command);
    QJsonObject dump();
    // Dumps until `done` holds or `timeoutMs` passes; the last dump.
    QJsonObject dumpUntil(const std::function<bool(const QJsonObject &)> &done,
                          int timeoutMs = 20000);

    // Window-relative pointer and keyboard.
    bool click(int x, int y, int settleMs = 400);
    bool doubleClick(int x, int y);
    // Presses at x,y, moves down by dy in four steps, releases.
    bool drag(int x, int y, int dy);
    bool typeInto(int x, int y, const QString &text);
    bool key(const QString &keys);
    bool findWindow(int timeoutMs);
    bool windowVisible();
    // Saves a PNG of the whole screen under the test's folder and returns
    // its path (empty on failure).
    QString screenshot(const QString &name);

    // Wire-log records from record number `from` on.
    QList<QJsonObject> wire(int from = 0) const;
    int wireCount() const { return wire().size(); }
    QStringList violations() const;
    // Waits until no command has gone to the mouse for `quietMs` (commands
    // block the program's GUI thread, which then answers nothing else).
    bool waitIdle(int quietMs = 1000, int timeoutMs = 30000);

    int windowX() const { return m_winX; }
    int windowY() const { return m_winY; }
    QString folder() const { return m_app; }
    QString program() const { return m_program; }
    QString sCode() const { return QStringLiteral("Tw70Sk"); }

    // A file of the prepared copy, by its path under folder() (such as
    // "modules/setting/p1.bin"): its bytes (empty when unreadable), or
    // written over (false on failure).
    QByteArray readAppFile(const QString &relative) const;
    bool writeAppFile(const QString &relative, const QByteArray &data) const;

private:
    QProcessEnvironment environment() const;

    QString m_root;
    QString m_base;
    QString m_app;
    QString m_program;
    QString m_pipe;
    QString m_log;
    QString m_deviceFile;
    QProcess m_proc;
    QStringList m_lines;
    QByteArray m_pending;
    int m_winX = 0;
    int m_winY = 0;
    QString m_winId;
    int m_dumps = 0;
};

namespace e2e {

bool runTool(const QString &tool, const QStringList &args, QByteArray *out = nullptr,
             int timeoutMs = 10000);
// Bytes first..first+count-1 of a hex text ("07 0f 1f ...").
QString bytes(const QString &hex, int first, int count);
QByteArray fromHex(const QString &hex);
// The unscrambled 8-byte command block of a 9-byte feature report.
QByteArray commandBlock(const QString &featureHex, bool scrambled, const QString &sCode);

} // namespace e2e
