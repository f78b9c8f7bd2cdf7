// The whole virtual program driven like a user, one start per mouse
// configuration carrying a whole journey: settings changed in the window,
// saved, found on the simulated mouse and in the files, and shown again
// after a restart; the tray, a second start, a crash and bad inputs.
#include "../support/program.h"

#include <QJsonDocument>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Positions in the 1024 x 640 window of an 8-button gun mouse.
constexpr int kListRow = 24, kKeyRowX = 140;
constexpr QPoint kStageList{928, 76}, kEffectList{908, 340}, kRateList{188, 479};
constexpr QPoint kSave{968, 620}, kWindowClose{992, 24};
// The key list and the right-hand column (DPI and light panels).
constexpr QRect kKeyList{24, 88, 232, 254}, kPanels{768, 56, 232, 490};
// The key assignment dialog (416 x 404, centred at 304,118): its content (830
// high) scrolls under a 360-high area 41 px down, 830 / 212 px per handle pixel.
constexpr int kContentTop = 118 + 41;
constexpr QPoint kHandle{712, 260}, kAssignClose{696, 138}, kCombo{492, 421}, kComboOk{596, 421};
// The macro editor and the gun editor (640 x 448, centred at 192,96).
constexpr QPoint kMacroEditorRow{140, 402}, kNew{240, 525}, kRecord{442, 525};
constexpr QPoint kEditorClose{808, 116}, kGunEditorRow{140, 427}, kSlotList{600, 165};
constexpr QPoint kYBox{770, 343}, kTimesBox{572, 529};

int listRowY(int y, int row) {
    return y + 12 + row * kListRow + kListRow / 2;
}
int keyRowY(int button) {
    return 88 + 40 + button * 26 + 12;
}
bool choose(Program &p, QPoint box, int row) {
    return p.click(box) && p.click({box.x() - 20, listRowY(box.y(), row)});
}
// Opens button `button`'s dialog and scrolls its content by `dy` handle
// pixels; the content offset.
int openScrolled(Program &p, int button, int dy) {
    return p.click({kKeyRowX, keyRowY(button)}) && p.drag(kHandle, dy)
               ? qMin(int(dy * 830.0 / 212.0), 830 - 360)
               : -10000;
}

QString bytes(const QString &hex, int first, int count) {
    return hex.split(' ').mid(first, count).join(' ');
}
// Entry `position` (four bytes) of key matrix `matrix` on the mouse.
QString entry(const QJsonObject &s, int matrix, int position) {
    return bytes(s["keyMatrix"][QString::number(matrix)].toString(), position * 4, 4);
}
QVariant setting(const Program &p, const QString &file, const QString &key) {
    return QSettings(p.path("modules/" + file), QSettings::IniFormat).value(key);
}

// The start-up logo: bright strokes at the window's centre before the panels
// (with the title bar's orange accent) show.
bool logoShown(const Program &p) {
    const QImage centre = p.grab({412, 220, 200, 200});
    int bright = 0;
    for (int y = 0; y < centre.height(); ++y)
        for (int x = 0; x < centre.width(); ++x)
            bright += qGray(centre.pixel(x, y)) > 150;
    return bright > 500 && qRed(p.grab({480, 44, 1, 1}).pixel(0, 0)) < 100;
}

// The DPI panel's stages whose slider shows the current stage's orange.
QList<int> orangeStages(const Program &p) {
    QList<int> stages;
    const QImage panel = p.grab({825, 100, 120, 190});
    for (int stage = 0; stage < 4; ++stage) {
        int orange = 0;
        for (int y = 0; y < panel.height(); ++y)
            for (int dx = 0; dx < 3; ++dx) {
                const QRgb c = panel.pixel(stage * 39 + dx, y);
                orange += qRed(c) > 150 && qGreen(c) < 110 && qBlue(c) < 60;
            }
        if (orange > 12)
            stages << stage + 1;
    }
    return stages;
}

bool stubLine(QProcess &stubs, const QByteArray &prefix) {
    return QTest::qWaitFor(
        [&] {
            while (stubs.canReadLine())
                if (stubs.readLine().startsWith(prefix))
                    return true;
            stubs.waitForReadyRead(50);
            return false;
        },
        10000);
}

} // namespace

class TestJourneys : public QObject {
    Q_OBJECT
private slots:
    void mouse553();
    void corruptDeviceListCostsNothing();
    void mouse560();

private:
    QTemporaryDir dir;
};

// A plain 553 mouse on a desktop with a tray host on the session bus.
void TestJourneys::mouse553() {
    Program p(dir.path() + "/553");
    QVERIFY(p.prepare({"553", false, true}));
    QProcess bus, stubs;
    bus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    QVERIFY2(bus.waitForReadyRead(10000), "dbus-daemon");
    p.env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromUtf8(bus.readLine()).trimmed());
    stubs.setProcessEnvironment(p.env);
    stubs.start("/usr/bin/python3", {QStringLiteral(STUBS_PATH), "--watcher"});
    QVERIFY2(stubLine(stubs, "ready"), "session bus stubs");

    // The start-up logo, then the panels; the reader turned the mouse's
    // event reports on.
    QVERIFY(p.launch());
    QVERIFY2(p.waitForLine("runUI", 40000) >= 0, p.since(0));
    QVERIFY(p.findWindow());
    QVERIFY2(QTest::qWaitFor([&] { return logoShown(p); }, 3000), "no start-up logo");
    QVERIFY(p.waitShown());
    const QRgb corner = p.grab({5, 300, 1, 1}).pixel(0, 0); // dark artwork, nothing see-through
    QVERIFY(qRed(corner) > 4 && qRed(corner) < 60);
    const QImage keysAtStart = p.grab(kKeyList), panelsAtStart = p.grab(kPanels);
    const auto listening = [](const QJsonObject &s) {
        return s["keyboardOption"] == "01 02 00 40";
    };
    QVERIFY(listening(p.dumpUntil(listening)));

    // A mouse that refuses a payload, then answers nothing: the settings
    // are kept and the program carries on.
    QVERIFY(p.control("fail write 1"));
    QVERIFY(choose(p, kStageList, 2) && p.click(kSave));
    QTRY_COMPARE(setting(p, "setting/p1.bin", "mouse/currentDpiCount").toInt(), 3);
    QVERIFY(p.control("silent 1"));
    QVERIFY(choose(p, kRateList, 1));
    QTRY_COMPARE(setting(p, "setting/p1.bin", "mouse/reportRate").toInt(), 1);
    QVERIFY(p.control("silent 0"));

    // Two DPI stages, 125 Hz, Breath with block 0 typed as 0, 128, 255, and
    // the middle button given Ctrl+B captured by the system-wide key hook.
    QVERIFY(p.idle());
    QVERIFY(choose(p, kStageList, 1) && choose(p, kRateList, 0) && choose(p, kEffectList, 1));
    QVERIFY(p.type({820, 505}, "0") && p.type({880, 505}, "128") && p.type({940, 505}, "255"));
    QVERIFY(p.click({kKeyRowX, keyRowY(2)}) && p.click(kCombo));
    const int keys = p.lineCount();
    QVERIFY(p.key("ctrl+b"));
    QVERIFY2(p.waitForLine("detectKeyboard", 5000, keys) >= 0, "the key hook saw nothing");
    QVERIFY(p.click(kComboOk) && p.click(kAssignClose) && p.click(kSave));
    const auto saved = [](const QJsonObject &s) {
        return s["dpiStages"] == 2 && bytes(s["dpiCodes"].toString(), 0, 3) == "04 09 80" &&
               s["reportRate"] == 8 && s["ledEffect"] == "03 00 0a" &&
               bytes(s["ledColors"].toString(), 0, 3) == "00 80 ff" &&
               entry(s, 1, 2) == "00 01 05 00";
    };
    const QJsonObject s = p.dumpUntil(saved);
    QVERIFY2(saved(s), QJsonDocument(s).toJson().constData());
    QCOMPARE(setting(p, "setting/p1.bin", "mouse/currentDpiCount").toInt(), 2);

    // The mouse's own DPI button: a notice, and the panel follows (two
    // stages sit in the panel's second and third slider columns).
    QCOMPARE(orangeStages(p), QList<int>{2});
    int from = p.lineCount();
    QVERIFY(p.control("dpi 2"));
    QVERIFY2(p.waitForLine("balloon Info | DPI stage 2 ", 10000, from) >= 0, p.since(from));
    QTRY_COMPARE(orangeStages(p), QList<int>{3});

    // Unplugged and plugged again: connected once more, the reader listens.
    from = p.lineCount();
    QVERIFY(p.control("unplug"));
    QVERIFY2(p.waitForLine("Device removed", 10000, from) >= 0, p.since(from));
    const auto unplugged = [](const QJsonObject &s) { return s["plugged"] == false; };
    QVERIFY(unplugged(p.dumpUntil(unplugged)));
    QVERIFY(p.control("plug"));
    QVERIFY2(p.waitForLine("runUI", 15000, from) >= 0, p.since(from));
    QVERIFY(p.control("dpi 1"));
    QVERIFY2(p.waitForLine("balloon Info | DPI stage 1 ", 10000, from) >= 0, p.since(from));

    // Closed to the tray, back through the tray icon's Activate, closed
    // again and back through a second start, which exits with 1.
    QVERIFY(p.idle());
    QVERIFY2(stubLine(stubs, "registered "), "the tray icon is not on the bus");
    QVERIFY(p.click(kWindowClose));
    QTRY_VERIFY(!p.visible());
    stubs.write("activate 10 10\n");
    QTRY_VERIFY2(p.visible(), "the tray click did not restore the window");
    QVERIFY(p.findWindow() && p.settle({}));
    QVERIFY(p.click(kWindowClose));
    QTRY_VERIFY(!p.visible());
    QCOMPARE(p.startAgain(), 1);
    QTRY_VERIFY2(p.visible(), "the second start did not restore the window");

    // A crash leaves its lock behind, which does not keep the next start
    // from running; that start shows what was saved.
    QVERIFY(p.findWindow() && p.settle({}));
    const QImage panels = p.grab(kPanels);
    QVERIFY(panels != panelsAtStart);
    p.crash();
    QVERIFY2(p.start(), p.since(0));
    QVERIFY(p.grab(kKeyList) != keysAtStart);
    QCOMPARE(p.grab(kPanels), panels);

    QCOMPARE(p.quit(), 0); // the session's end takes the tray's Quit path
    QVERIFY2(p.violations().isEmpty(), qPrintable(p.violations().join('\n')));
}

// An unreadable device list: only the tray icon, and the file stays as it was.
void TestJourneys::corruptDeviceListCostsNothing() {
    Program p(dir.path() + "/corrupt");
    QVERIFY(p.prepare());
    const QByteArray garbage("\x01\xff[[[\n=\n\x00\x7f garbage ]\n", 22);
    QVERIFY(p.write("modules/setting/apConfig.bin", garbage));
    QVERIFY(p.launch());
    QVERIFY2(p.waitForLine("Device DisConnect", 30000) >= 0, p.since(0));
    QVERIFY(!p.visible());
    QCOMPARE(p.quit(), 0);
    QCOMPARE(p.read("modules/setting/apConfig.bin"), garbage);
}

// A scrambled 560 gun mouse.
void TestJourneys::mouse560() {
    Program p(dir.path() + "/560");
    QVERIFY(p.prepare({"560", true, true}));
    QVERIFY2(p.start(), p.since(0));

    // Gun slot 2 takes the second preset with a new Y and shot count; closing
    // the editor sends the slots.
    QVERIFY(p.click(kGunEditorRow) && choose(p, kSlotList, 1));
    QVERIFY(p.type(kYBox, "33") && p.type(kTimesBox, "5") && p.click(kEditorClose));
    const auto slot2 = [](const QJsonObject &s) {
        return bytes(s["profiles"]["3"].toString(), 78, 4) == "f0 05 00 21";
    };
    QJsonObject s = p.dumpUntil(slot2);
    QVERIFY(slot2(s));
    QVERIFY(p.read("modules/gun/gunData.bin").contains("1=AKM, L-Click, 10, 0, 33, 5"));

    // A macro recorded from four key events, bound to the fourth button; the
    // fifth switches the gun over two slots; one Save sends them.
    QVERIFY(p.idle());
    QVERIFY(p.click(kMacroEditorRow) && p.click(kNew) && p.click(kRecord));
    QVERIFY(p.key("a b"));
    QVERIFY(p.click(kRecord) && p.click(kEditorClose));
    int scrolled = openScrolled(p, 3, 77);
    const int macroList = kContentTop + 410 - scrolled + 12;
    QVERIFY(p.click({402, macroList}) && p.click({402, macroList + 24}) && p.click(kAssignClose));
    scrolled = openScrolled(p, 4, 120);
    QVERIFY(p.click({492, kContentTop + 772 - scrolled + 7}) && p.click(kAssignClose) &&
            p.click(kSave));
    const auto saved = [](const QJsonObject &s) {
        return s["macros"]["4"].toString().startsWith("00 01 01 04 81 04 01 05 81 05 00 00") &&
               entry(s, 1, 4) == "08 00 01 00" && entry(s, 2, 4) == "08 00 03 00";
    };
    s = p.dumpUntil(saved);
    QVERIFY2(saved(s), QJsonDocument(s).toJson().constData());
    QCOMPARE(setting(p, "macro/Macro_0.bin", "config/total").toInt(), 4);
    QCOMPARE(setting(p, "setting/p1.bin", "mouseMacroKey/3").toString(), "Macro_0");

    QCOMPARE(p.quit(), 0);
    QVERIFY2(p.violations().isEmpty(), qPrintable(p.violations().join('\n')));
}

QTEST_MAIN(TestJourneys)
#include "tst_journeys_e2e.moc"
