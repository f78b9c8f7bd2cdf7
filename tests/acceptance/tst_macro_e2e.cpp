// A macro recorded with real key events in the running virtual program,
// bound to a button and saved, then read back from the simulated mouse.
#include "e2e_support.h"

#include <QDir>
#include <QJsonDocument>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using e2e::bytes;

namespace {

// Positions in the 1024 x 640 window (8 buttons): the editor block under
// the key matrix panel, the macro editor (640 x 448) and the key assignment
// dialog (416 x 404) where the window opens them, and Save.
constexpr int kMacroEditorRow[2] = {24 + 8 + 108, 88 + 254 + 8 + 40 + 12};
constexpr int kEditor[2] = {(1024 - 640) / 2, (640 - 448) / 2};
constexpr int kNew[2] = {kEditor[0] + 16 + 32, kEditor[1] + 81 + 328 + 8 + 12};
constexpr int kRecord[2] = {kEditor[0] + 200 + 50, kNew[1]};
constexpr int kEditorClose[2] = {kEditor[0] + 640 - 16 - 8, kEditor[1] + 20};
constexpr int kButton = 3; // the fourth button: not the last left click
constexpr int kButtonRow[2] = {24 + 8 + 108, 88 + 40 + kButton * 26 + 12};
constexpr int kAssign[2] = {(1024 - 416) / 2, (640 - 404) / 2};
constexpr int kHandle[2] = {kAssign[0] + 402 + 6, kAssign[1] + 42 + 100};
// Dragging the handle by 77 px scrolls the content by 77 * 830 / 212 px.
constexpr int kHandleDrag = 77;
constexpr double kScrolled = kHandleDrag * 830.0 / 212.0;
constexpr int kMacroList[2] = {kAssign[0] + 48 + 50, int(kAssign[1] + 41 + 410 - kScrolled + 12)};
constexpr int kAssignClose[2] = {kAssign[0] + 416 - 16 - 8, kAssign[1] + 12 + 8};
constexpr int kSave[2] = {1024 - 24 - 32, 640 - 8 - 12};

} // namespace

class TestMacroEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void recordedMacroReachesItsSlot_data();
    void recordedMacroReachesItsSlot();

private:
    QTemporaryDir dir;
};

void TestMacroEndToEnd::initTestCase() {
    QVERIFY(dir.isValid());
    QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "runs under xvfb-run");
    QVERIFY2(e2e::runTool("xdotool", {"version"}), "xdotool");
}

void TestMacroEndToEnd::recordedMacroReachesItsSlot_data() {
    QTest::addColumn<QString>("family");
    QTest::newRow("553") << QStringLiteral("553");
    QTest::newRow("560") << QStringLiteral("560");
}

// A new macro recorded from four key events (A down, A up, B down, B up),
// chosen for a button in the key assignment dialog and saved: the button's
// macro slot holds the encoded image, the same bytes for both families.
void TestMacroEndToEnd::recordedMacroReachesItsSlot() {
    QFETCH(QString, family);
    E2eProgram p(dir.path());
    QVERIFY(p.prepare({family, true, true}));
    QVERIFY2(p.start(), qPrintable(p.lines().join('\n')));
    // past the start-up lock (1 s) before the first click
    QTest::qWait(1800);

    QVERIFY(p.click(kMacroEditorRow[0], kMacroEditorRow[1]));
    QVERIFY(p.click(kNew[0], kNew[1]));
    QVERIFY(p.click(kRecord[0], kRecord[1]));
    QVERIFY(e2e::runTool("xdotool", {"key", "--delay", "120", "a", "b"}));
    QTest::qWait(300);
    QVERIFY(p.click(kRecord[0], kRecord[1]));
    p.screenshot("macro_recorded_" + family);
    QVERIFY(p.click(kEditorClose[0], kEditorClose[1]));

    QVERIFY(p.click(kButtonRow[0], kButtonRow[1]));
    QVERIFY(p.drag(kHandle[0], kHandle[1], kHandleDrag));
    QVERIFY(p.click(kMacroList[0], kMacroList[1]));
    QVERIFY(p.click(kMacroList[0], kMacroList[1] - 12 + 24 + 12));
    p.screenshot("macro_assigned_" + family);
    QVERIFY(p.click(kAssignClose[0], kAssignClose[1]));
    p.screenshot("macro_closed_" + family);
    QVERIFY(p.click(kSave[0], kSave[1]));

    // press A, release A, press B, release B with no pauses recorded
    const QString image = "00 01 01 04 81 04 01 05 81 05 00 00";
    const QString slot = QString::number(kButton + 1);
    QJsonObject s;
    QDeadlineTimer deadline(20000);
    auto done = [&] {
        const QString hex = s.value("macros").toObject().value(slot).toString();
        return bytes(hex, 0, 12) == image &&
               bytes(hex, 12, 116) == QString("00 ").repeated(115) + "00";
    };
    while (!(s = p.dump()).isEmpty() && !done() && !deadline.hasExpired())
        QTest::qWait(250);
    p.screenshot("macro_saved_" + family);
    QVERIFY2(done(), QJsonDocument(s.value("macros").toObject()).toJson().constData());

    // The program's own files: the macro's steps and, after Save, the
    // button's macro entry with the macro's name in the current profile.
    auto filesDone = [&] {
        QSettings macro(p.folder() + "/modules/macro/Macro_0.bin", QSettings::IniFormat);
        QSettings profile(p.folder() + "/modules/setting/p1.bin", QSettings::IniFormat);
        const QStringList entry =
            profile.value("mouseKeyMatrix/" + QString::number(kButton)).toStringList();
        return macro.value("config/total").toInt() == 4 &&
               macro.value("macro/2").toString() == "1,B" &&
               entry == QStringList{"4", "0", QString::number(kButton), "0"} &&
               profile.value("mouseMacroKey/" + QString::number(kButton)).toString() == "Macro_0";
    };
    deadline.setRemainingTime(10000);
    while (!filesDone() && !deadline.hasExpired())
        QTest::qWait(250);
    QVERIFY(filesDone());

    QVERIFY2(p.violations().isEmpty(), qPrintable(p.violations().join('\n')));
}

QTEST_GUILESS_MAIN(TestMacroEndToEnd)

#include "tst_macro_e2e.moc"
