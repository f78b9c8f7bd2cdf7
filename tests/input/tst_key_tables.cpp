// Scan code -> usage translation, the key-state filter, the Linux key and
// button mappings, and the Windows mouse messages. Expected usages are the
// keyboard page of the USB HID usage tables, written independently of the
// tables under test.
#include "key_tables.h"

#include <QSet>
#include <QTest>

// One key event fed to the filter: scan, extended, Alt held, down.
struct Stroke {
    int scan;
    bool extended;
    bool alt;
    bool down;
};
Q_DECLARE_METATYPE(QList<Stroke>)

class TestKeyTables : public QObject {
    Q_OBJECT

private slots:
    void tableSizes();
    void scanToUsage_data();
    void scanToUsage();
    void usageOnlyKeys_data();
    void usageOnlyKeys();
    void filterSequences_data();
    void filterSequences();
    void evdevKeys_data();
    void evdevKeys();
    void everyEvdevKeyLandsOnItsOwnUsage();
    void mouseMessages_data();
    void mouseMessages();
    void x11Buttons_data();
    void x11Buttons();
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
        bool ext;
        bool alt;
        int usage;
    };
    const Row rows[] = {
        {"a", 0x1E, false, false, 0x04},
        {"z", 0x2C, false, false, 0x1D},
        {"m", 0x32, false, false, 0x10},
        {"p", 0x19, false, false, 0x13},
        {"1", 0x02, false, false, 0x1E},
        {"9", 0x0A, false, false, 0x26},
        {"0", 0x0B, false, false, 0x27},
        {"Escape", 0x01, false, false, 0x29},
        {"Backspace", 0x0E, false, false, 0x2A},
        {"Tab", 0x0F, false, false, 0x2B},
        {"Space", 0x39, false, false, 0x2C},
        {"Caps Lock", 0x3A, false, false, 0x39},
        {"minus", 0x0C, false, false, 0x2D},
        {"equals", 0x0D, false, false, 0x2E},
        {"left bracket", 0x1A, false, false, 0x2F},
        {"right bracket", 0x1B, false, false, 0x30},
        {"backslash", 0x2B, false, false, 0x31},
        {"semicolon", 0x27, false, false, 0x33},
        {"apostrophe", 0x28, false, false, 0x34},
        {"grave", 0x29, false, false, 0x35},
        {"comma", 0x33, false, false, 0x36},
        {"period", 0x34, false, false, 0x37},
        {"slash", 0x35, false, false, 0x38},
        {"102nd key", 0x56, false, false, 0x64},
        {"main Enter", 0x1C, false, false, 0x28},
        {"keypad Enter", 0x1C, true, false, 0x58},
        {"left Ctrl", 0x1D, false, false, 0xE0},
        {"right Ctrl", 0x1D, true, false, 0xE4},
        {"left Shift", 0x2A, false, false, 0xE1},
        {"right Shift", 0x36, true, false, 0xE5},
        {"left Alt", 0x38, false, false, 0xE2},
        {"right Alt", 0x38, true, false, 0xE6},
        {"left Windows", 0x5B, true, false, 0xE3},
        {"menu key", 0x5D, true, false, 0x65},
        {"F1", 0x3B, false, false, 0x3A},
        {"F10", 0x44, false, false, 0x43},
        {"F11", 0x57, false, false, 0x44},
        {"F12", 0x58, false, false, 0x45},
        {"F23", 0x6E, false, false, 0x72},
        {"Print Screen", 0x37, true, false, 0x46},
        {"Alt+Print Screen", 0x54, false, true, 0x46},
        {"0x54 without Alt", 0x54, false, false, 0},
        {"Scroll Lock", 0x46, false, false, 0x47},
        {"Ctrl+Break", 0x46, true, false, 0x48},
        {"Pause", 0x45, false, false, 0x48},
        {"Num Lock", 0x45, true, false, 0x53},
        {"Insert", 0x52, true, false, 0x49},
        {"Home", 0x47, true, false, 0x4A},
        {"Page Up", 0x49, true, false, 0x4B},
        {"Delete", 0x53, true, false, 0x4C},
        {"End", 0x4F, true, false, 0x4D},
        {"Page Down", 0x51, true, false, 0x4E},
        {"Right", 0x4D, true, false, 0x4F},
        {"Left", 0x4B, true, false, 0x50},
        {"Down", 0x50, true, false, 0x51},
        {"Up", 0x48, true, false, 0x52},
        {"keypad slash", 0x35, true, false, 0x54},
        {"keypad star", 0x37, false, false, 0x55},
        {"keypad minus", 0x4A, false, false, 0x56},
        {"keypad plus", 0x4E, false, false, 0x57},
        {"keypad 1", 0x4F, false, false, 0x59},
        {"keypad 5", 0x4C, false, false, 0x5D},
        {"keypad 9", 0x49, false, false, 0x61},
        {"keypad 0", 0x52, false, false, 0x62},
        {"keypad dot", 0x53, false, false, 0x63},
        {"0x36 not extended", 0x36, false, false, 0},
        {"right Windows (extended 0x5C)", 0x5C, true, false, 0},
        {"extended a", 0x1E, true, false, 0},
        {"scan 0", 0x00, false, false, 0},
        {"scan above a byte", 0x11E, false, false, 0},
        {"negative scan", -1, false, false, 0},
    };
    for (const Row &r : rows)
        QTest::newRow(r.name) << r.scan << r.ext << r.alt << r.usage;
}

void TestKeyTables::scanToUsage() {
    QFETCH(int, scan);
    QFETCH(bool, extended);
    QFETCH(bool, alt);
    QFETCH(int, usage);
    QCOMPARE(KeyTables::vkToUsage(KeyTables::resolveVk(scan, extended, alt)), usage);
    // A fresh filter reports the first press of every mapped key.
    KeyStateFilter filter;
    QCOMPARE(filter.feed(scan, extended, alt, true), usage);
}

void TestKeyTables::usageOnlyKeys_data() {
    QTest::addColumn<int>("vk");
    QTest::addColumn<int>("usage");
    // Virtual keys no scan code reaches, and codes outside the table.
    QTest::newRow("VK_RWIN") << 0x5C << 0xE7;
    QTest::newRow("VK_F13") << 0x7C << 0x68;
    QTest::newRow("VK_F24") << 0x87 << 0x73;
    QTest::newRow("VK_ABNT_C1") << 0xC1 << 0x87;
    QTest::newRow("VK_ABNT_C2") << 0xC2 << 0x85;
    QTest::newRow("0xEB") << 0xEB << 0x8B;
    QTest::newRow("0xFF") << 0xFF << 0x66;
    QTest::newRow("0 is no key") << 0 << 0;
    QTest::newRow("VK_RETURN+2 absent") << 0x0F << 0;
    QTest::newRow("VK_HELP absent") << 0x2F << 0;
    QTest::newRow("VK_SLEEP absent") << 0x5F << 0;
    QTest::newRow("VK_SEPARATOR absent") << 0x6C << 0;
    QTest::newRow("above a byte") << 0x141 << 0;
}

void TestKeyTables::usageOnlyKeys() {
    QFETCH(int, vk);
    QFETCH(int, usage);
    QCOMPARE(KeyTables::vkToUsage(vk), usage);
}

void TestKeyTables::filterSequences_data() {
    QTest::addColumn<QList<Stroke>>("strokes");
    // +usage for a reported press, -usage for a reported release.
    QTest::addColumn<QList<int>>("reports");

    QTest::newRow("held a repeats") << QList<Stroke>{{0x1E, false, false, true},
                                                     {0x1E, false, false, true},
                                                     {0x1E, false, false, true},
                                                     {0x1E, false, false, false},
                                                     {0x1E, false, false, false}}
                                    << QList<int>{0x04, -0x04};
    QTest::newRow("release without press")
        << QList<Stroke>{{0x1E, false, false, false}} << QList<int>{};
    QTest::newRow("two held keys are independent") << QList<Stroke>{{0x1D, false, false, true},
                                                                    {0x1D, true, false, true},
                                                                    {0x1D, false, false, false},
                                                                    {0x1D, true, false, true},
                                                                    {0x1D, true, false, false}}
                                                   << QList<int>{0xE0, 0xE4, -0xE0, -0xE4};
    QTest::newRow("Alt+Print Screen") << QList<Stroke>{{0x38, false, false, true},
                                                       {0x54, false, true, true},
                                                       {0x54, false, true, false},
                                                       {0x38, false, true, false}}
                                      << QList<int>{0xE2, 0x46, -0x46, -0xE2};
    QTest::newRow("Alt let go before Print Screen") << QList<Stroke>{{0x38, false, false, true},
                                                                     {0x54, false, true, true},
                                                                     {0x38, false, true, false},
                                                                     {0x54, false, false, false},
                                                                     {0x37, true, false, true}}
                                                    << QList<int>{0xE2, 0x46, -0xE2, -0x46, 0x46};
    QTest::newRow("Print Screen then Alt+Print Screen is one key")
        << QList<Stroke>{{0x37, true, false, true},
                         {0x54, false, true, true},
                         {0x37, true, false, false}}
        << QList<int>{0x46, -0x46};
    QTest::newRow("Pause and Ctrl+Break share a usage") << QList<Stroke>{{0x45, false, false, true},
                                                                         {0x46, true, false, true},
                                                                         {0x46, true, false, false}}
                                                        << QList<int>{0x48, -0x48};
    QTest::newRow("unmapped keys do not disturb") << QList<Stroke>{{0x1E, false, false, true},
                                                                   {0x36, false, false, true},
                                                                   {0x5C, true, false, true},
                                                                   {0x5C, true, false, false},
                                                                   {0x1E, false, false, false}}
                                                  << QList<int>{0x04, -0x04};
}

void TestKeyTables::filterSequences() {
    QFETCH(QList<Stroke>, strokes);
    QFETCH(QList<int>, reports);
    KeyStateFilter filter;
    QList<int> got;
    for (const Stroke &s : strokes) {
        const int usage = filter.feed(s.scan, s.extended, s.alt, s.down);
        if (usage != 0) {
            got << (s.down ? usage : -usage);
            QCOMPARE(filter.isDown(usage), s.down);
        }
    }
    QCOMPARE(got, reports);
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
    // Linux input event codes from linux/input-event-codes.h.
    const Row rows[] = {
        {"KEY_ESC", 1, false, 0x01, false, 0x29},
        {"KEY_1", 2, false, 0x02, false, 0x1E},
        {"KEY_0", 11, false, 0x0B, false, 0x27},
        {"KEY_BACKSPACE", 14, false, 0x0E, false, 0x2A},
        {"KEY_Q", 16, false, 0x10, false, 0x14},
        {"KEY_ENTER", 28, false, 0x1C, false, 0x28},
        {"KEY_LEFTCTRL", 29, false, 0x1D, false, 0xE0},
        {"KEY_A", 30, false, 0x1E, false, 0x04},
        {"KEY_A with Alt", 30, true, 0x1E, false, 0x04},
        {"KEY_GRAVE", 41, false, 0x29, false, 0x35},
        {"KEY_LEFTSHIFT", 42, false, 0x2A, false, 0xE1},
        {"KEY_BACKSLASH", 43, false, 0x2B, false, 0x31},
        {"KEY_SLASH", 53, false, 0x35, false, 0x38},
        {"KEY_RIGHTSHIFT", 54, false, 0x36, true, 0xE5},
        {"KEY_KPASTERISK", 55, false, 0x37, false, 0x55},
        {"KEY_LEFTALT", 56, false, 0x38, false, 0xE2},
        {"KEY_SPACE", 57, false, 0x39, false, 0x2C},
        {"KEY_CAPSLOCK", 58, false, 0x3A, false, 0x39},
        {"KEY_F1", 59, false, 0x3B, false, 0x3A},
        {"KEY_F10", 68, false, 0x44, false, 0x43},
        {"KEY_NUMLOCK", 69, false, 0x45, true, 0x53},
        {"KEY_SCROLLLOCK", 70, false, 0x46, false, 0x47},
        {"KEY_KP7", 71, false, 0x47, false, 0x5F},
        {"KEY_KPMINUS", 74, false, 0x4A, false, 0x56},
        {"KEY_KPPLUS", 78, false, 0x4E, false, 0x57},
        {"KEY_KP0", 82, false, 0x52, false, 0x62},
        {"KEY_KPDOT", 83, false, 0x53, false, 0x63},
        {"KEY_102ND", 86, false, 0x56, false, 0x64},
        {"KEY_F11", 87, false, 0x57, false, 0x44},
        {"KEY_F12", 88, false, 0x58, false, 0x45},
        {"KEY_KPENTER", 96, false, 0x1C, true, 0x58},
        {"KEY_RIGHTCTRL", 97, false, 0x1D, true, 0xE4},
        {"KEY_KPSLASH", 98, false, 0x35, true, 0x54},
        {"KEY_SYSRQ", 99, false, 0x37, true, 0x46},
        {"KEY_SYSRQ with Alt", 99, true, 0x54, false, 0x46},
        {"KEY_RIGHTALT", 100, false, 0x38, true, 0xE6},
        {"KEY_HOME", 102, false, 0x47, true, 0x4A},
        {"KEY_UP", 103, false, 0x48, true, 0x52},
        {"KEY_PAGEUP", 104, false, 0x49, true, 0x4B},
        {"KEY_LEFT", 105, false, 0x4B, true, 0x50},
        {"KEY_RIGHT", 106, false, 0x4D, true, 0x4F},
        {"KEY_END", 107, false, 0x4F, true, 0x4D},
        {"KEY_DOWN", 108, false, 0x50, true, 0x51},
        {"KEY_PAGEDOWN", 109, false, 0x51, true, 0x4E},
        {"KEY_INSERT", 110, false, 0x52, true, 0x49},
        {"KEY_DELETE", 111, false, 0x53, true, 0x4C},
        {"KEY_PAUSE", 119, false, 0x45, false, 0x48},
        {"KEY_LEFTMETA", 125, false, 0x5B, true, 0xE3},
        {"KEY_COMPOSE", 127, false, 0x5D, true, 0x65},
        {"KEY_F23", 193, false, 0x6E, false, 0x72},
        {"KEY_RIGHTMETA reports nothing", 126, false, 0, false, 0},
        {"KEY_MUTE", 113, false, 0, false, 0},
        {"KEY_KPEQUAL", 117, false, 0, false, 0},
        {"KEY_F13", 183, false, 0, false, 0},
        {"KEY_RESERVED", 0, false, 0, false, 0},
        {"84 is unused", 84, false, 0, false, 0},
    };
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
    // X keycodes reach 255, so event codes up to 247 can arrive.
    QHash<int, int> owner;
    for (int evdev = 0; evdev < 248; ++evdev) {
        const KeyTables::ScanKey key = KeyTables::evdevToScan(evdev, false);
        if (key.scan == 0)
            continue;
        const int usage = KeyTables::vkToUsage(KeyTables::resolveVk(key.scan, key.extended, false));
        QVERIFY2(usage != 0,
                 qPrintable(QStringLiteral("event code %1 maps to no usage").arg(evdev)));
        QVERIFY2(!owner.contains(usage),
                 qPrintable(QStringLiteral("event codes %1 and %2 share usage 0x%3")
                                .arg(owner.value(usage))
                                .arg(evdev)
                                .arg(usage, 0, 16)));
        owner.insert(usage, evdev);
    }
    // 82 keys of codes 1 to 83 (all but right Shift and Num Lock), which
    // come back among the 24 extra keys.
    QCOMPARE(owner.size(), 81 + 24);
}

void TestKeyTables::mouseMessages_data() {
    QTest::addColumn<uint>("message");
    QTest::addColumn<bool>("reported");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("down");
    QTest::newRow("WM_LBUTTONDOWN") << 0x0201u << true << 0xF0 << true;
    QTest::newRow("WM_LBUTTONUP") << 0x0202u << true << 0xF0 << false;
    QTest::newRow("WM_RBUTTONDOWN") << 0x0204u << true << 0xF1 << true;
    QTest::newRow("WM_RBUTTONUP") << 0x0205u << true << 0xF1 << false;
    QTest::newRow("WM_MBUTTONDOWN") << 0x0207u << true << 0xF2 << true;
    QTest::newRow("WM_MBUTTONUP") << 0x0208u << true << 0xF2 << false;
    QTest::newRow("WM_MOUSEMOVE") << 0x0200u << false << 0 << false;
    QTest::newRow("WM_LBUTTONDBLCLK") << 0x0203u << false << 0 << false;
    QTest::newRow("WM_RBUTTONDBLCLK") << 0x0206u << false << 0 << false;
    QTest::newRow("WM_MBUTTONDBLCLK") << 0x0209u << false << 0 << false;
    QTest::newRow("WM_MOUSEWHEEL") << 0x020Au << false << 0 << false;
    QTest::newRow("WM_XBUTTONDOWN") << 0x020Bu << false << 0 << false;
    QTest::newRow("WM_XBUTTONUP") << 0x020Cu << false << 0 << false;
    QTest::newRow("WM_MOUSEHWHEEL") << 0x020Eu << false << 0 << false;
}

void TestKeyTables::mouseMessages() {
    QFETCH(uint, message);
    QFETCH(bool, reported);
    QFETCH(int, code);
    QFETCH(bool, down);
    int gotCode = -1;
    bool gotDown = !down;
    QCOMPARE(KeyTables::mouseMessageToButton(message, &gotCode, &gotDown), reported);
    if (reported) {
        QCOMPARE(gotCode, code);
        QCOMPARE(gotDown, down);
    }
}

void TestKeyTables::x11Buttons_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("code");
    QTest::newRow("left") << 1 << 0xF0;
    QTest::newRow("middle") << 2 << 0xF2;
    QTest::newRow("right") << 3 << 0xF1;
    for (int b = 4; b <= 7; ++b)
        QTest::addRow("wheel %d", b) << b << 0;
    QTest::newRow("back") << 8 << 0;
    QTest::newRow("forward") << 9 << 0;
    QTest::newRow("none") << 0 << 0;
}

void TestKeyTables::x11Buttons() {
    QFETCH(int, button);
    QFETCH(int, code);
    QCOMPARE(KeyTables::x11ButtonToCode(button), code);
}

QTEST_APPLESS_MAIN(TestKeyTables)
#include "tst_key_tables.moc"
