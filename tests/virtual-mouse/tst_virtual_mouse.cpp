// The simulated mouse's judgement of the reports it gets (shared with
// skarn-wirecheck), fed hand-built reports, and its wire log.
#include "report_checks.h"
#include "virtual_mouse.h"

#include <hidapi/hidapi.h>

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

class TestVirtualMouse : public QObject {
    Q_OBJECT

private slots:
    // Each row is a short script of wire steps on a 553 mouse, at the
    // program's pace unless paused:
    //   fHEX  feature report of that block (checksum added)   bHEX  same with a wrong checksum
    //   pHEX/N  a whole set command with N payload bytes and the program's pauses
    //   dN  data report with N payload bytes   LN  data report of N bytes in all
    //   hN  feature report of N bytes   i  feature report with report ID 1
    //   sMS  pause   g  fetch the feature reply   r  read one data report
    // and set-up words first: "560" the other family, "nogun" a mouse without
    // the gun feature, "~CODE" a scrambling mouse with that code (the
    // program scrambles with "Tw70Sk").
    void violations_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("kind");
        auto row = [](const char *name, const char *script, const char *kind) {
            QTest::newRow(name) << script << kind;
        };
        row("bad checksum", "b0108", "bad checksum");
        row("wrong code", "~Xy12Zq f0012345678", "bad checksum");
        row("right code", "~Tw70Sk f0108 s200 d8", "data report without a command");
        row("data after a command without payload", "f0108 s200 d8",
            "data report without a command");
        row("too few data reports", "f12014008 s128 d32 s128 f0104", "too few data reports");
        row("too many data reports", "p110308/8 d8", "too many data reports");
        row("short feature report", "h8", "wrong report length");
        row("long data report", "f110308 s128 L65", "wrong report length");
        row("report id of a feature report", "i", "wrong report id");
        row("553 read sent to a 560 mouse", "560 f83", "unknown opcode");
        row("gun data to a mouse without gun", "nogun f0400010203", "unknown opcode");
        row("data too soon after the command", "f110308 s99 d8", "settle time");
        row("data too soon after data", "f12014008 s128 d32 s60 d32", "settle time");
        row("key matrix 5", "p12054008/64", "index out of range");
        row("key matrix 0 on the 560", "560 p0d0080/128", "index out of range");
        row("dpi of profile 0", "560 f040003", "index out of range");
        row("payload length field", "p110307/8", "bad length field");
        row("reply with no read command", "f0108 g", "get_feature without");
        row("read with nothing to come", "r", "read of the command interface");
        row("image left unread", "560 f8c01 g r f0201", "unread data reports");
    }
    void violations() {
        QFETCH(QString, script);
        QFETCH(QString, kind);
        const QStringList steps = script.split(' ');
        ReportFormat format;
        format.is560 = steps.first() == "560";
        format.isGun = steps.first() != "nogun";
        format.isEncode = steps.first().startsWith('~');
        const QByteArray code = steps.first().toLatin1() + "      ";
        memcpy(format.code + 1, code.constData() + 1, 6);
        uint8_t sent[8] = {0, 'T', 'w', '7', '0', 'S', 'k', 0};
        QStringList found;
        ReportChecks checks(format, [&](const QString &text) { found << text; });
        qint64 t = 0;
        auto feature = [&](QByteArray block, int length = 9, char id = 0) {
            if (format.isEncode)
                Wire::scramble(reinterpret_cast<uint8_t *>(block.data()), sent);
            const QByteArray r = (id + block).leftJustified(length, '\0', true);
            checks.feature(reinterpret_cast<const uint8_t *>(r.constData()), size_t(length), t);
        };
        auto data = [&](const QByteArray &payload, int length = 33) {
            const QByteArray r = ('\0' + payload).leftJustified(length, '\0', true);
            checks.data(reinterpret_cast<const uint8_t *>(r.constData()), size_t(length), t);
        };
        for (const QString &step : steps) {
            const char op = step[0].toLatin1();
            const QString arg = step.mid(1);
            QByteArray b =
                QByteArray::fromHex(arg.section('/', 0, 0).toLatin1()).leftJustified(7, 0);
            b.append(char(Wire::checksum(reinterpret_cast<const uint8_t *>(b.constData())) +
                          (op == 'b')));
            const QByteArray payload(arg.section('/', 1).toInt(), '\x5A');
            if (op == 'f' || op == 'b')
                feature(b);
            else if (op == 'p') {
                feature(b);
                t += 128;
                for (int off = 0; off < payload.size(); off += 32, t += 120)
                    data(payload.mid(off, 32));
                t += 128;
            } else if (op == 'd' || op == 'L')
                data(QByteArray(op == 'd' ? arg.toInt() : 8, '\x33'), op == 'L' ? arg.toInt() : 33);
            else if (op == 'h' || op == 'i')
                feature(QByteArray::fromHex("01080000000000F6"), op == 'h' ? arg.toInt() : 9,
                        op == 'i');
            else if (op == 's')
                t += arg.toInt();
            else if (op == 'g')
                checks.getFeature(9, 0);
            else if (op == 'r')
                checks.read(true);
        }
        QCOMPARE(found.size(), 1);
        QVERIFY2(found.first().startsWith(kind), qPrintable(found.first()));
    }

    // The log file keeps every record, memory the newest (an idle program reopens its event
    // interface twice a second). (The acceptance tests drive the control pipe.)
    void environment() {
        VirtualMouse &vm = VirtualMouse::instance();
        QTemporaryDir dir;
        auto describe = [&](const QByteArray &text) {
            QFile f(dir.filePath("devices.json"));
            if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
                f.write(text);
            f.close();
            qputenv("SKARN_VIRTUAL_DEVICE", QFile::encodeName(f.fileName()));
            qputenv("SKARN_VIRTUAL_LOG", QFile::encodeName(dir.filePath("wire.log")));
            vm.initFromEnvironment();
            return vm.deviceCount();
        };
        QCOMPARE(describe(R"([{"family": "553"}, {"family": "560", "reportLength": 64}])"), 2);
        for (int i = 0; i < 3000; ++i)
            hid_close(hid_open_path(qPrintable(vm.eventPath(1))));
        QFile log(dir.filePath("wire.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QList<QByteArray> all = log.readAll().trimmed().split('\n');
        QCOMPARE(all.size(), 6000);
        QVERIFY(vm.wireLog().size() < 6000);
        QCOMPARE(QJsonDocument::fromJson(all.last()).object(), vm.wireLog().last().toObject());
        qunsetenv("SKARN_VIRTUAL_DEVICE");
        qunsetenv("SKARN_VIRTUAL_LOG");
        vm.initFromEnvironment();
    }
};

QTEST_GUILESS_MAIN(TestVirtualMouse)
#include "tst_virtual_mouse.moc"
