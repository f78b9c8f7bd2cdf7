// Key and button translation and the key-state filter. Expected usages come
// from the keyboard page of the USB HID usage tables, not from the tables
// under test; event codes from linux/input-event-codes.h.
#include "key_tables.h"

#include <QRegularExpression>
#include <QTest>

class TestKeyTables : public QObject {
    Q_OBJECT

private slots:
    void keys() {
        // Event code (-1: a key only a Windows hook reports this way), Alt
        // held, then the scan code and extended flag, and the usage.
        struct Row {
            const char *name;
            int evdev;
            bool alt;
            int scan;
            bool ext;
            int usage;
        };
        // clang-format off
        const Row rows[] = {
            {"a", 30, 0, 0x1E, 0, 0x04}, {"Enter", 28, 0, 0x1C, 0, 0x28},
            {"keypad Enter", 96, 0, 0x1C, 1, 0x58}, {"left Ctrl", 29, 0, 0x1D, 0, 0xE0},
            {"right Ctrl", 97, 0, 0x1D, 1, 0xE4}, {"right Shift", 54, 0, 0x36, 1, 0xE5},
            {"right Alt", 100, 0, 0x38, 1, 0xE6}, {"left Windows", 125, 0, 0x5B, 1, 0xE3},
            {"menu", 127, 0, 0x5D, 1, 0x65}, {"F23", 193, 0, 0x6E, 0, 0x72},
            {"Print Screen", 99, 0, 0x37, 1, 0x46}, {"Alt+Print Screen", 99, 1, 0x54, 0, 0x46},
            {"0x54 without Alt", -1, 0, 0x54, 0, 0}, {"Scroll Lock", 70, 0, 0x46, 0, 0x47},
            {"Ctrl+Break", -1, 0, 0x46, 1, 0x48}, {"Pause", 119, 0, 0x45, 0, 0x48},
            {"Num Lock", 69, 0, 0x45, 1, 0x53}, {"keypad slash", 98, 0, 0x35, 1, 0x54},
            {"0x36 plain", -1, 0, 0x36, 0, 0}, {"extended a", -1, 0, 0x1E, 1, 0},
            {"negative", -1, 0, -1, 0, 0}, {"right Windows", 126, 0, 0, 0, 0},
            {"unused 84", 84, 0, 0, 0, 0},
        };
        // clang-format on
        for (const Row &r : rows) {
            const KeyTables::ScanKey key = r.evdev < 0 ? KeyTables::ScanKey{r.scan, r.ext}
                                                       : KeyTables::evdevToScan(r.evdev, r.alt);
            KeyStateFilter filter;
            const int usage = KeyTables::vkToUsage(KeyTables::resolveVk(r.scan, r.ext, r.alt));
            QCOMPARE(QString::asprintf("%s %x %d %x %x", r.name, key.scan, key.extended, usage,
                                       filter.feed(r.scan, r.ext, r.alt, true)),
                     QString::asprintf("%s %x %d %x %x", r.name, r.scan, r.ext, r.usage, r.usage));
        }
    }

    void everyEvdevKeyLandsOnItsOwnUsage() {
        QHash<int, int> owner; // usage -> event code; X keycodes stop at 255
        for (int evdev = 0; evdev < 248; ++evdev) {
            const KeyTables::ScanKey key = KeyTables::evdevToScan(evdev, false);
            if (key.scan == 0)
                continue;
            const int usage =
                KeyTables::vkToUsage(KeyTables::resolveVk(key.scan, key.extended, false));
            QVERIFY2(usage != 0 && !owner.contains(usage), qPrintable(QString::number(evdev)));
            owner.insert(usage, evdev);
        }
        // Codes 1 to 83 (right Shift and Num Lock among them) and 22 more keys.
        QCOMPARE(owner.size(), 83 + 22);
    }

    void filterSequences_data() {
        // Strokes: scan in hex, "e" extended, "A" prefix for Alt held, "+" down,
        // "-" up. Reports: usage in hex, "-" prefix for a release.
        QTest::addColumn<QString>("strokes");
        QTest::addColumn<QString>("reports");
        QTest::newRow("held a") << "1E+ 1E+ 1E+ 1E- 1E-"
                                << "04 -04";
        QTest::newRow("left and right Ctrl apart") << "1D+ 1De+ 1D- 1De+ 1De-"
                                                   << "E0 E4 -E0 -E4";
        QTest::newRow("Alt+Print Screen") << "38+ A54+ A54- A38-"
                                          << "E2 46 -46 -E2";
        QTest::newRow("Alt let go first") << "38+ A54+ A38- 54- 37e+"
                                          << "E2 46 -E2 -46 46";
        QTest::newRow("Print Screen, then Alt") << "37e+ A54+ 37e-"
                                                << "46 -46";
        QTest::newRow("Pause and Ctrl+Break") << "45+ 46e+ 46e-"
                                              << "48 -48";
    }
    void filterSequences() {
        QFETCH(QString, strokes);
        QFETCH(QString, reports);
        KeyStateFilter filter;
        QStringList got;
        for (QString s : strokes.split(' ')) {
            const bool alt = s.startsWith('A'), down = s.endsWith('+'), ext = s.contains('e');
            s.remove(QRegularExpression("[Ae+-]"));
            const int usage = filter.feed(s.toInt(nullptr, 16), ext, alt, down);
            if (usage != 0) {
                got << QString("%1%2").arg(down ? "" : "-").arg(usage, 2, 16, QChar('0'));
                QCOMPARE(filter.isDown(usage), down);
            }
        }
        QCOMPARE(got.join(' '), reports.toLower());
    }
};

QTEST_APPLESS_MAIN(TestKeyTables)
#include "tst_key_tables.moc"
