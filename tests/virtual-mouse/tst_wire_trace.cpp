// A field trace from the virtual program (--wire-log) against the simulated
// mouse's own log of the same run, and skarn-wirecheck on it and on traces
// with faults planted in them.
#include "virtual_mouse.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

QList<QByteArray> lines(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().split('\n') : QList<QByteArray>();
}

QJsonObject at(const QList<QByteArray> &log, int i) {
    return QJsonDocument::fromJson(log.at(i)).object();
}

QByteArray encode(const QJsonObject &r) {
    return QJsonDocument(r).toJson(QJsonDocument::Compact);
}

// The records of one interface, without their time (the two logs run on
// different clocks, and the two threads' records interleave by chance).
QList<QByteArray> stream(const QList<QByteArray> &log, const QString &iface) {
    QList<QByteArray> out;
    for (int i = 0; i < log.size(); ++i) {
        QJsonObject r = at(log, i);
        r.remove("t");
        if (r.value("iface") == iface)
            out << encode(r);
    }
    return out;
}

// The first command-interface record of `op` from `from` on (step -1: backwards).
int find(const QList<QByteArray> &log, const QString &op, int from = 0, int step = 1) {
    for (int i = from; i >= 0 && i < log.size(); i += step)
        if (at(log, i).value("op") == op && at(log, i).value("iface") == "command")
            return i;
    return -1;
}

} // namespace

class TestWireTrace : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QList<QByteArray> trace;

private slots:
    // A private copy of the program (its own single-instance key and
    // settings files) in the tray; a DPI set from the command line gives data
    // reports, the mouse's DPI button an event report.
    void initTestCase() {
        QVERIFY(dir.isValid());
        const QFileInfo built(QStringLiteral(PROGRAM_PATH));
        const QString app = dir.filePath("app"), program = app + '/' + built.fileName();
        QVERIFY(QDir().mkpath(app));
        QCOMPARE(QProcess::execute("cp", {"-a", built.absolutePath() + "/modules",
                                          built.absoluteFilePath(), app}),
                 0);
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
        p.start(program, {"--tray", "--wire-log", "trace.log"});
        QVERIFY(p.waitForStarted(10000));
        const QString tracePath = dir.filePath("trace.log");
        auto has = [&](const char *text) { return lines(tracePath).join().contains(text); };
        QTRY_VERIFY_WITH_TIMEOUT(has("\"op\":\"get_feature\""), 30000);
        QCOMPARE(QProcess::execute(QStringLiteral(MOUSECTL_PATH),
                                   {"--no-start", "--program", program, "dpi", "set", "400,800"}),
                 0);
        QVERIFY(has("\"op\":\"write\""));
        QFile ctl(pipe);
        QVERIFY(ctl.open(QIODevice::WriteOnly));
        ctl.write("dpi 2\n");
        ctl.close();
        QTRY_VERIFY_WITH_TIMEOUT(has("\"data\":\"06 07 00 02\""), 10000);
        p.terminate();
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitCode(), 0);
        trace = lines(tracePath);
    }

    void traceEqualsTheMouseLog() {
        const QList<QByteArray> mouse = lines(dir.filePath("mouse.log"));
        QVERIFY(!mouse.join().contains("\"op\":\"violation\""));
        for (const char *iface : {"command", "event"}) {
            QVERIFY(stream(trace, iface).size() > 2);
            QCOMPARE(stream(trace, iface), stream(mouse, iface));
        }
    }

    // Each fault at the line its finding belongs to (the virtual mouse's test
    // covers every kind of finding).
    void wirecheckFindsPlantedFaults_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("found");
        for (const auto &[fault, found] : QList<QPair<const char *, const char *>>{
                 {"", " 0 violations (553 family, 32-byte data reports, scrambled"},
                 {"soon", "settle time"},
                 {"missing", "too few data reports"},
             })
            QTest::newRow(fault) << fault << found;
    }
    void wirecheckFindsPlantedFaults() {
        QFETCH(QString, fault);
        QFETCH(QString, found);
        QList<QByteArray> log = trace;
        const int write = find(log, "write");
        QVERIFY(write > 0);
        int line = fault == "soon" ? write : log.size() - 1;
        QJsonObject r = at(log, line);
        if (fault == "soon") {
            r.insert("t", at(log, find(log, "set_feature", line, -1)).value("t").toDouble() + 50);
        }
        log[line] = encode(r);
        if (fault == "missing") // found at the end, where the data report is still owed
            log.removeAt(write);
        const QString path = dir.filePath(fault + ".log");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(log.join('\n') + '\n');
        f.close();
        QProcess check;
        check.start(QStringLiteral(WIRECHECK_PATH), {path});
        QVERIFY(check.waitForFinished(20000));
        const QString first = QString::fromUtf8(check.readAllStandardOutput()).section('\n', 0, 0);
        QCOMPARE(check.exitCode(), fault.isEmpty() ? 0 : 1);
        const QString want = QString("%1: %2").arg(line + (fault != "missing")).arg(found);
        QVERIFY2(fault.isEmpty() ? first.contains(found)
                                 : first.mid(path.size() + 1).startsWith(want),
                 qPrintable(first));
    }
};

QTEST_GUILESS_MAIN(TestWireTrace)
#include "tst_wire_trace.moc"
