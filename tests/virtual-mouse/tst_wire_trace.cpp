// A field trace from the virtual program (--wire-log) against the simulated
// mouse's own log of the same run, and skarn-wirecheck on it and on traces
// with faults planted in them.
#include "virtual_mouse.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

bool run(const QString &tool, const QStringList &args, QByteArray *out = nullptr,
         int *status = nullptr) {
    QProcess p;
    p.start(tool, args);
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished(2000);
        return false;
    }
    if (out)
        *out = p.readAllStandardOutput();
    if (status)
        *status = p.exitCode();
    return p.exitStatus() == QProcess::NormalExit && (status || p.exitCode() == 0);
}

QList<QByteArray> lines(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll().trimmed().split('\n');
}

// The records of one interface, without their time (the two logs run on
// different clocks, and the two threads' records interleave by chance).
QList<QJsonObject> stream(const QList<QByteArray> &log, const QString &iface) {
    QList<QJsonObject> out;
    for (const QByteArray &line : log) {
        QJsonObject r = QJsonDocument::fromJson(line).object();
        if (r.value("iface") == iface) {
            r.remove("t");
            out << r;
        }
    }
    return out;
}

QJsonObject at(const QList<QByteArray> &log, int i) {
    return QJsonDocument::fromJson(log.at(i)).object();
}

// The first command-interface record of `op` from `from` on (step -1: backwards).
int find(const QList<QByteArray> &log, const QString &op, int from = 0, int step = 1) {
    for (int i = from; i >= 0 && i < log.size(); i += step)
        if (at(log, i).value("op") == op && at(log, i).value("iface") == "command")
            return i;
    return -1;
}

// xdotool's --shell geometry of the program's main window, empty until it shows.
QString windowGeometry(qint64 pid) {
    QByteArray ids, geometry;
    if (!run("xdotool", {"search", "--onlyvisible", "--pid", QString::number(pid)}, &ids))
        return {};
    for (const QByteArray &id : ids.trimmed().split('\n'))
        if (run("xdotool", {"getwindowgeometry", "--shell", QString::fromLatin1(id)}, &geometry) &&
            geometry.contains("WIDTH=1024"))
            return QString::fromLatin1(geometry);
    return {};
}

QByteArray encode(const QJsonObject &r) {
    return QJsonDocument(r).toJson(QJsonDocument::Compact);
}

} // namespace

class TestWireTrace : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QList<QByteArray> trace;

    // skarn-wirecheck on `log`: its exit status and its first finding.
    std::pair<int, QString> check(const QList<QByteArray> &log, const QString &name) {
        const QString path = dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return {-1, QString()};
        f.write(log.join('\n') + '\n');
        f.close();
        QByteArray out;
        int status = -1;
        if (!run(QStringLiteral(WIRECHECK_PATH), {path}, &out, &status))
            return {-1, QString()};
        const QString first = QString::fromUtf8(out).section('\n', 0, 0);
        return {status, first.mid(path.size() + 1)};
    }

private slots:
    void initTestCase() {
        QVERIFY(dir.isValid());
        QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "runs under xvfb-run");
        // A private copy: its own single-instance key and settings files.
        const QFileInfo built(QStringLiteral(PROGRAM_PATH));
        const QString app = dir.filePath("app");
        QVERIFY(QDir().mkpath(app));
        QVERIFY(run("cp", {"-a", built.absolutePath() + "/modules", app}));
        const QString program = app + '/' + built.fileName();
        QVERIFY(QFile::copy(built.absoluteFilePath(), program));
        QVERIFY(QFile::setPermissions(program, QFile::permissions(built.absoluteFilePath())));
        const QString pipe = dir.filePath("control");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);

        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("SKARN_VIRTUAL_CONTROL", pipe);
        env.insert("SKARN_VIRTUAL_LOG", dir.filePath("mouse.log"));
        env.remove("SKARN_VIRTUAL_DEVICE");
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        // A relative name: the trace lands where the program was started,
        // though the program then works in its own folder.
        p.start(program, {"--wire-log", "trace.log"});
        QVERIFY(p.waitForStarted(10000));
        const QString tracePath = dir.filePath("trace.log");
        auto has = [&](const char *text) { return lines(tracePath).join().contains(text); };
        QTRY_VERIFY_WITH_TIMEOUT(has("\"op\":\"get_feature\""), 30000);

        // Settings with data reports: a factory reset, confirmed; the
        // window takes clicks once its start-up lock is over.
        QString window;
        QTRY_VERIFY_WITH_TIMEOUT(!(window = windowGeometry(p.processId())).isEmpty(), 20000);
        const int x = QRegularExpression("X=(-?\\d+)").match(window).captured(1).toInt();
        const int y = QRegularExpression("Y=(-?\\d+)").match(window).captured(1).toInt();
        auto click = [&](int cx, int cy) {
            run("xdotool", {"mousemove", QString::number(x + cx), QString::number(y + cy), "sleep",
                            "0.2", "click", "1", "sleep", "0.4"});
        };
        const char *write = "\"op\":\"write\"";
        for (QDeadlineTimer deadline(30000); !has(write) && !deadline.hasExpired();) {
            click(888, 620);
            click(670, 349);
            for (QDeadlineTimer sent(3000); !has(write) && !sent.hasExpired();)
                QTest::qWait(50);
        }
        QVERIFY(has(write));
        QFile ctl(pipe);
        QVERIFY(ctl.open(QIODevice::WriteOnly));
        ctl.write("dpi 3\n");
        ctl.close();
        QTRY_VERIFY_WITH_TIMEOUT(has("\"data\":\"06 07 00 03\""), 10000);
        p.terminate();
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitCode(), 0);
        trace = lines(tracePath);
    }

    void traceEqualsTheMouseLog() {
        const QList<QByteArray> mouse = lines(dir.filePath("mouse.log"));
        QVERIFY(!mouse.join().contains("\"op\":\"violation\""));
        for (const char *iface : {"command", "event"}) {
            const QList<QJsonObject> a = stream(trace, iface), b = stream(mouse, iface);
            QVERIFY(a.size() > 10);
            QCOMPARE(a.size(), b.size());
            for (int i = 0; i < a.size(); ++i)
                QVERIFY2(a[i] == b[i], encode(a[i]) + " / " + encode(b[i]));
        }
    }

    void wirecheckFindsPlantedFaults_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("found");
        QTest::newRow("clean") << ""
                               << "";
        QTest::newRow("checksum") << "checksum"
                                  << "bad checksum";
        QTest::newRow("too soon") << "soon"
                                  << "settle time";
        QTest::newRow("missing data report") << "missing"
                                             << "too few data reports";
        QTest::newRow("feature length") << "length"
                                        << "wrong report length";
    }
    void wirecheckFindsPlantedFaults() {
        QFETCH(QString, fault);
        QFETCH(QString, found);
        QList<QByteArray> log = trace;
        const int firstWrite = find(log, "write");
        QVERIFY(firstWrite > 0);
        int line = -1; // 0-based index of the line the finding belongs to
        if (fault == "checksum" || fault == "length") {
            line = find(log, "set_feature");
            QJsonObject r = at(log, line);
            QByteArray block = QByteArray::fromHex(r.value("plain").toString().toLatin1());
            if (fault == "checksum")
                block[7] = char(block[7] ^ 1);
            VirtualMouse::scramble(reinterpret_cast<uint8_t *>(block.data()),
                                   reinterpret_cast<const uint8_t *>("\0Tw70Sk\0"));
            QByteArray report = QByteArray(1, '\0') + block;
            if (fault == "length")
                report += '\0';
            r.insert("data", QString::fromLatin1(report.toHex(' ')));
            log[line] = encode(r);
        } else if (fault == "soon") {
            line = firstWrite;
            QJsonObject r = at(log, line);
            r.insert("t", at(log, find(log, "set_feature", line, -1)).value("t").toDouble() + 50);
            log[line] = encode(r);
        } else if (fault == "missing") {
            log.removeAt(firstWrite);
            line = find(log, "set_feature", firstWrite);
        }
        const auto [status, first] = check(log, fault + ".log");
        if (fault.isEmpty()) {
            QCOMPARE(status, 0);
            QVERIFY2(first.contains(" 0 violations (553 family, 32-byte data reports, scrambled"),
                     qPrintable(first));
            return;
        }
        QCOMPARE(status, 1);
        QVERIFY2(first.startsWith(QStringLiteral("%1: %2").arg(line + 1).arg(found)),
                 qPrintable(first));
    }
};

QTEST_GUILESS_MAIN(TestWireTrace)
#include "tst_wire_trace.moc"
