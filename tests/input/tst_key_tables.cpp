// Scan code -> usage translation, the key-state filter, the Linux key and
// button mappings and the Windows mouse messages. Expected usages come from
// the keyboard page of the USB HID usage tables, not from the tables under
// test.
#include "key_tables.h"

#include <QRegularExpression>
#include <QTest>

class TestKeyTables : public QObject {
    Q_OBJECT

private slots:
    void tableSizes();
    void scanToUsage_data();
    void scanToUsage();
    void filterSequences_data();
    void filterSequences();
    void evdevKeys_data();
    void evdevKeys();
    void everyEvdevKeyLandsOnItsOwnUsage();
    void buttons();
};

void TestKeyTables::tableSizes() {
    QCOMPARE(KeyTables::scanTableSize(), 105);
    QCOMPARE(KeyTables::usageTableSize(), 121);
}

void TestKeyTables::scanToUsage_data() {
    QTest::addColumn<int>("scan");
    QTest::addColumn<bool>("extended");
    QTest::addColumn<bool>("alt");
    QTest::addColumn<int>("usage");
    struct Row {
        const char *name;
        int scan;
        bool ext, alt;
        int usage;
    };
    // clang-format off
    const Row rows[] = {
        {"a", 0x1E, 0, 0, 0x04}, {"z", 0x2C, 0, 0, 0x1D}, {"1", 0x02, 0, 0, 0x1E},
        {"0", 0x0B, 0, 0, 0x27}, {"Esc", 0x01, 0, 0, 0x29}, {"Tab", 0x0F, 0, 0, 0x2B},
        {"backslash", 0x2B, 0, 0, 0x31}, {"grave", 0x29, 0, 0, 0x35}, {"slash", 0x35, 0, 0, 0x38},
        {"102nd", 0x56, 0, 0, 0x64}, {"main Enter", 0x1C, 0, 0, 0x28},
        {"keypad Enter", 0x1C, 1, 0, 0x58}, {"left Ctrl", 0x1D, 0, 0, 0xE0},
        {"right Ctrl", 0x1D, 1, 0, 0xE4}, {"right Shift", 0x36, 1, 0, 0xE5},
        {"left Alt", 0x38, 0, 0, 0xE2}, {"right Alt", 0x38, 1, 0, 0xE6},
        {"left Windows", 0x5B, 1, 0, 0xE3}, {"menu", 0x5D, 1, 0, 0x65}, {"F1", 0x3B, 0, 0, 0x3A},
        {"F10", 0x44, 0, 0, 0x43}, {"F11", 0x57, 0, 0, 0x44}, {"F12", 0x58, 0, 0, 0x45},
        {"F23", 0x6E, 0, 0, 0x72}, {"Print Screen", 0x37, 1, 0, 0x46},
        {"Alt+Print Screen", 0x54, 0, 1, 0x46}, {"0x54 without Alt", 0x54, 0, 0, 0},
        {"Scroll Lock", 0x46, 0, 0, 0x47}, {"Ctrl+Break", 0x46, 1, 0, 0x48},
        {"Pause", 0x45, 0, 0, 0x48}, {"Num Lock", 0x45, 1, 0, 0x53}, {"Home", 0x47, 1, 0, 0x4A},
        {"Delete", 0x53, 1, 0, 0x4C}, {"Left", 0x4B, 1, 0, 0x50}, {"Up", 0x48, 1, 0, 0x52},
        {"keypad slash", 0x35, 1, 0, 0x54}, {"keypad star", 0x37, 0, 0, 0x55},
        {"keypad 7", 0x47, 0, 0, 0x5F}, {"keypad 0", 0x52, 0, 0, 0x62},
        {"keypad dot", 0x53, 0, 0, 0x63}, {"0x36 plain", 0x36, 0, 0, 0},
        {"right Windows", 0x5C, 1, 0, 0}, {"extended a", 0x1E, 1, 0, 0},
        {"above a byte", 0x11E, 0, 0, 0}, {"negative", -1, 0, 0, 0},
    };
    // clang-format on
    for (const Row &r : rows)
        QTest::newRow(r.name) << r.scan << r.ext << r.alt << r.usage;
}

void TestKeyTables::scanToUsage() {
    QFETCH(int, scan);
    QFETCH(bool, extended);
    QFETCH(bool, alt);
    QFETCH(int, usage);
    QCOMPARE(KeyTables::vkToUsage(KeyTables::resolveVk(scan, extended, alt)), usage);
    KeyStateFilter filter;
    QCOMPARE(filter.feed(scan, extended, alt, true), usage);
}

void TestKeyTables::filterSequences_data() {
    // Strokes: scan in hex, "e" extended, "A" prefix for Alt held, "+" down,
    // "-" up. Reports: usage in hex, "-" prefix for a release.
    QTest::addColumn<QString>("strokes");
    QTest::addColumn<QString>("reports");
    QTest::newRow("held a") << "1E+ 1E+ 1E+ 1E- 1E-"
                            << "04 -04";
    QTest::newRow("release without press") << "1E-"
                                           << "";
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
    QTest::newRow("unmapped keys") << "1E+ 36+ 5Ce+ 5Ce- 1E-"
                                   << "04 -04";
}

void TestKeyTables::filterSequences() {
    QFETCH(QString, strokes);
    QFETCH(QString, reports);
    KeyStateFilter filter;
    QStringList got;
    for (QString s : strokes.split(QLatin1Char(' '))) {
        const bool alt = s.startsWith(QLatin1Char('A'));
        const bool down = s.endsWith(QLatin1Char('+'));
        const bool ext = s.contains(QLatin1Char('e'));
        s.remove(QRegularExpression(QStringLiteral("[Ae+-]")));
        const int usage = filter.feed(s.toInt(nullptr, 16), ext, alt, down);
        if (usage != 0) {
            got << QStringLiteral("%1%2").arg(down ? "" : "-").arg(usage, 2, 16, QLatin1Char('0'));
            QCOMPARE(filter.isDown(usage), down);
        }
    }
    QCOMPARE(got.join(QLatin1Char(' ')), reports.toLower());
}

void TestKeyTables::evdevKeys_data() {
    QTest::addColumn<int>("evdev");
    QTest::addColumn<bool>("alt");
    QTest::addColumn<int>("scan");
    QTest::addColumn<bool>("extended");
    QTest::addColumn<int>("usage");
    struct Row {
        const char *name;
        int evdev;
        bool alt;
        int scan;
        bool ext;
        int usage;
    };
    // Event codes of linux/input-event-codes.h.
    // clang-format off
    const Row rows[] = {
        {"ESC", 1, 0, 0x01, 0, 0x29}, {"0", 11, 0, 0x0B, 0, 0x27}, {"Q", 16, 0, 0x10, 0, 0x14},
        {"ENTER", 28, 0, 0x1C, 0, 0x28}, {"LEFTCTRL", 29, 0, 0x1D, 0, 0xE0},
        {"A", 30, 0, 0x1E, 0, 0x04}, {"A with Alt", 30, 1, 0x1E, 0, 0x04},
        {"BACKSLASH", 43, 0, 0x2B, 0, 0x31}, {"RIGHTSHIFT", 54, 0, 0x36, 1, 0xE5},
        {"KPASTERISK", 55, 0, 0x37, 0, 0x55}, {"LEFTALT", 56, 0, 0x38, 0, 0xE2},
        {"F10", 68, 0, 0x44, 0, 0x43}, {"NUMLOCK", 69, 0, 0x45, 1, 0x53},
        {"SCROLLLOCK", 70, 0, 0x46, 0, 0x47}, {"KPDOT", 83, 0, 0x53, 0, 0x63},
        {"102ND", 86, 0, 0x56, 0, 0x64}, {"F12", 88, 0, 0x58, 0, 0x45},
        {"KPENTER", 96, 0, 0x1C, 1, 0x58}, {"RIGHTCTRL", 97, 0, 0x1D, 1, 0xE4},
        {"KPSLASH", 98, 0, 0x35, 1, 0x54}, {"SYSRQ", 99, 0, 0x37, 1, 0x46},
        {"SYSRQ with Alt", 99, 1, 0x54, 0, 0x46}, {"RIGHTALT", 100, 0, 0x38, 1, 0xE6},
        {"HOME", 102, 0, 0x47, 1, 0x4A}, {"UP", 103, 0, 0x48, 1, 0x52},
        {"PAGEUP", 104, 0, 0x49, 1, 0x4B}, {"LEFT", 105, 0, 0x4B, 1, 0x50},
        {"RIGHT", 106, 0, 0x4D, 1, 0x4F}, {"END", 107, 0, 0x4F, 1, 0x4D},
        {"DOWN", 108, 0, 0x50, 1, 0x51}, {"PAGEDOWN", 109, 0, 0x51, 1, 0x4E},
        {"INSERT", 110, 0, 0x52, 1, 0x49}, {"DELETE", 111, 0, 0x53, 1, 0x4C},
        {"PAUSE", 119, 0, 0x45, 0, 0x48}, {"LEFTMETA", 125, 0, 0x5B, 1, 0xE3},
        {"COMPOSE", 127, 0, 0x5D, 1, 0x65}, {"F23", 193, 0, 0x6E, 0, 0x72},
        {"RIGHTMETA", 126, 0, 0, 0, 0}, {"MUTE", 113, 0, 0, 0, 0}, {"F13", 183, 0, 0, 0, 0},
        {"RESERVED", 0, 0, 0, 0, 0}, {"unused 84", 84, 0, 0, 0, 0},
    };
    // clang-format on
    for (const Row &r : rows)
        QTest::newRow(r.name) << r.evdev << r.alt << r.scan << r.ext << r.usage;
}

void TestKeyTables::evdevKeys() {
    QFETCH(int, evdev);
    QFETCH(bool, alt);
    QFETCH(int, scan);
    QFETCH(bool, extended);
    QFETCH(int, usage);
    const KeyTables::ScanKey key = KeyTables::evdevToScan(evdev, alt);
    QCOMPARE(key.scan, scan);
    QCOMPARE(key.extended, extended);
    QCOMPARE(KeyTables::vkToUsage(KeyTables::resolveVk(key.scan, key.extended, alt)), usage);
}

void TestKeyTables::everyEvdevKeyLandsOnItsOwnUsage() {
    QHash<int, int> owner; // usage -> event code; X keycodes stop at 255
    for (int evdev = 0; evdev < 248; ++evdev) {
        const KeyTables::ScanKey key = KeyTables::evdevToScan(evdev, false);
        if (key.scan == 0)
            continue;
        const int usage = KeyTables::vkToUsage(KeyTables::resolveVk(key.scan, key.extended, false));
        QVERIFY2(usage != 0, qPrintable(QString::number(evdev)));
        QVERIFY2(
            !owner.contains(usage),
            qPrintable(QStringLiteral("%1 and %2 collide").arg(owner.value(usage)).arg(evdev)));
        owner.insert(usage, evdev);
    }
    // Codes 1 to 83 (right Shift and Num Lock among them) and 22 more keys.
    QCOMPARE(owner.size(), 83 + 22);
}

void TestKeyTables::buttons() {
    // WM_MOUSEMOVE .. WM_MOUSEHWHEEL: only the six press/release messages.
    const int expected[][2] = {{0, 0},    {0xF0, 1}, {0xF0, 0}, {0, 0},    {0xF1, 1},
                               {0xF1, 0}, {0, 0},    {0xF2, 1}, {0xF2, 0}, {0, 0},
                               {0, 0},    {0, 0},    {0, 0},    {0, 0},    {0, 0}};
    for (unsigned i = 0; i < 15; ++i) {
        int code = 0;
        bool down = false;
        const bool reported = KeyTables::mouseMessageToButton(0x200 + i, &code, &down);
        QCOMPARE(reported ? code : 0, expected[i][0]);
        QCOMPARE(reported && down, expected[i][1] == 1);
    }
    const int x11[] = {0, 0xF0, 0xF2, 0xF1, 0, 0, 0, 0, 0, 0}; // 4-7 wheel, 8-9 side
    for (int b = 0; b < 10; ++b)
        QCOMPARE(KeyTables::x11ButtonToCode(b), x11[b]);
}

QTEST_APPLESS_MAIN(TestKeyTables)
#include "tst_key_tables.moc"
