// Profile switching and the gun editor in the running virtual program,
// driven with the pointer and keyboard (xdotool), checked against the
// simulated mouse's firmware state.
#include "e2e_support.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using e2e::bytes;

namespace {

// Window positions. The profile drop-down sits 160 px left of the title-bar
// icons (920,16); the gun editor (640 x 448) opens centred at 192,96 with
// its right-hand column 284 px in and 57 px down.
constexpr int kProfileList[2] = {920 - 160 + 60, 16 - 4 + 12};
constexpr int kListRow = 24;
constexpr int kGunX = 192;
constexpr int kGunY = 96;
constexpr int kGunPane[2] = {kGunX + 284, kGunY + 57};
// "Select gun" is about 60 px wide; its 96 px list starts 16 px after it.
constexpr int kSlotList[2] = {kGunPane[0] + 124, kGunPane[1] + 12};
constexpr int kYBox[2] = {kGunPane[0] + 294, kGunPane[1] + 190};
constexpr int kTimesBox[2] = {kGunPane[0] + 96, kGunPane[1] + 376};
constexpr int kGunClose[2] = {kGunX + 640 - 24, kGunY + 20};

// A second profile that differs from the standard one in every setting
// the switch sends: three DPI stages, report rate, lighting and the middle
// button.
QByteArray secondProfile(QByteArray standard) {
    standard.replace("currentDpiCount=4", "currentDpiCount=3");
    standard.replace("dpiValueArray=500, 1000, 1500, 2000", "dpiValueArray=800, 1600, 2400, 2000");
    standard.replace("reportRate=3", "reportRate=0");
    standard.replace("lightValue=0, 0, 4", "lightValue=1, 2, 2");
    const int keys = standard.indexOf("[mouseKeyMatrix]");
    const int middle = standard.indexOf("\n2=0, 0, 242, 0", keys);
    if (keys >= 0 && middle > keys)
        standard.replace(middle, 15, "\n2=0, 0, 241, 0");
    return standard;
}

// What a profile switch puts on the mouse, per family.
QJsonObject summary(const QJsonObject &s, const QString &family) {
    const QString keys = s.value("keyMatrix").toObject().value("1").toString();
    if (family == "553")
        return {{"stages", s.value("dpiStages").toInt()},
                {"codes", bytes(s.value("dpiCodes").toString(), 0, 8)},
                {"rate", s.value("reportRate").toInt()},
                {"light", s.value("ledEffect").toString()},
                {"keys", keys}};
    const QString image1 = s.value("profiles").toObject().value("1").toString();
    return {{"stages", bytes(image1, 100, 1)},
            {"codes", bytes(image1, 84, 8)},
            {"rate", s.value("profileReportRate").toObject().value("1").toInt()},
            {"light", bytes(image1, 71, 3)},
            {"keys", keys}};
}

// A copy for `family` (encoded, with the gun), optionally holding the
// standard profile and a second one, started and past the start-up lock.
bool start(E2eProgram &p, const QString &family, bool twoProfiles) {
    if (!p.prepare({family, true, true}))
        return false;
    if (twoProfiles) {
        const QByteArray standard = p.readAppFile("modules/setting/pD.bin");
        if (standard.isEmpty() || !p.writeAppFile("modules/setting/p1.bin", standard) ||
            !p.writeAppFile("modules/setting/p2.bin", secondProfile(standard)) ||
            !p.writeAppFile("modules/setting/name.bin",
                            "[profile]\nprofileName=Standard0, Second1\n"))
            return false;
    }
    if (!p.start())
        return false;
    QTest::qWait(1800); // past the start-up lock
    return true;
}

} // namespace

class TestProfileGunEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void switchSendsTheNewProfile_data();
    void switchSendsTheNewProfile();
    void gunSlotTwoReachesTheMouse_data();
    void gunSlotTwoReachesTheMouse();

private:
    QTemporaryDir dir;
};

void TestProfileGunEndToEnd::initTestCase() {
    QVERIFY(dir.isValid());
    QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "runs under xvfb-run");
    QVERIFY2(e2e::runTool("xdotool", {"version"}), "xdotool");
}

void TestProfileGunEndToEnd::switchSendsTheNewProfile_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<QJsonValue>("secondStages");
    QTest::addColumn<QJsonValue>("standardStages");
    QTest::newRow("553") << QStringLiteral("553") << QJsonValue(3) << QJsonValue(4);
    QTest::newRow("560") << QStringLiteral("560") << QJsonValue("07") << QJsonValue("0f");
}

// Switch to the second profile, then back: each switch sends all of the
// chosen profile, so every setting comes out different the first time and
// as the standard profile's the second.
void TestProfileGunEndToEnd::switchSendsTheNewProfile() {
    QFETCH(QString, family);
    QFETCH(QJsonValue, secondStages);
    QFETCH(QJsonValue, standardStages);
    E2eProgram p(dir.path());
    QVERIFY2(start(p, family, true), qPrintable(p.lines().join('\n')));

    QVERIFY(p.click(kProfileList[0], kProfileList[1]));
    p.screenshot("profile_list_" + family);
    QVERIFY(p.click(kProfileList[0], kProfileList[1] + 12 + kListRow + kListRow / 2));
    const QJsonObject second = summary(
        p.dumpUntil(
            [&](const QJsonObject &s) { return summary(s, family)["stages"] == secondStages; },
            20000),
        family);
    QCOMPARE(second["stages"], secondStages);
    QCOMPARE(second["codes"].toString().left(8), QStringLiteral("07 0f 17"));
    // A switch sends page after page under the busy lock; the window takes
    // clicks again once the mouse has heard nothing new for a while.
    p.waitIdle(1500, 20000);

    QVERIFY(p.click(kProfileList[0], kProfileList[1]));
    QVERIFY(p.click(kProfileList[0], kProfileList[1] + 12 + kListRow / 2));
    const QJsonObject standard = summary(
        p.dumpUntil(
            [&](const QJsonObject &s) { return summary(s, family)["stages"] == standardStages; },
            20000),
        family);
    QCOMPARE(standard["stages"], standardStages);
    QCOMPARE(standard["codes"].toString().left(11), QStringLiteral("04 09 0e 13"));
    for (const char *key : {"rate", "light", "keys"})
        QVERIFY2(second[key] != standard[key],
                 qPrintable(QString(key) + ": " + QJsonDocument(second).toJson() +
                            QJsonDocument(standard).toJson()));
    QVERIFY(!second["keys"].toString().isEmpty());

    const QByteArray stored = p.readAppFile("modules/setting/apConfig.bin");
    QVERIFY2(stored.contains("profileNo=0"), stored.constData());
    QVERIFY(p.wireCount() > 0);
    QVERIFY2(p.violations().isEmpty(), qPrintable(p.violations().join('\n')));
}

void TestProfileGunEndToEnd::gunSlotTwoReachesTheMouse_data() {
    QTest::addColumn<QString>("family");
    QTest::newRow("553") << QStringLiteral("553");
    QTest::newRow("560") << QStringLiteral("560");
}

// Slot 2 uses the second preset; its Y and shot count are changed and the
// editor closed, which sends the slots.
void TestProfileGunEndToEnd::gunSlotTwoReachesTheMouse() {
    QFETCH(QString, family);
    E2eProgram p(dir.path());
    QVERIFY2(start(p, family, false), qPrintable(p.lines().join('\n')));

    // the gun editor row of the left column, below the key matrix panel
    const int keyRows = 8;
    const int editorTop = 88 + 40 + 24 * keyRows + 2 * (keyRows - 1) + 8 + 8;
    QVERIFY(p.click(24 + 116, editorTop + 65 + 12));
    QVERIFY(p.click(kSlotList[0], kSlotList[1]));
    QVERIFY(p.click(kSlotList[0], kSlotList[1] + 12 + kListRow + kListRow / 2));
    QVERIFY(p.typeInto(kYBox[0], kYBox[1], "33"));
    QVERIFY(p.typeInto(kTimesBox[0], kTimesBox[1], "5"));
    p.screenshot("gun_editor_" + family);
    QVERIFY(p.click(kGunClose[0], kGunClose[1]));

    auto done = [&](const QJsonObject &s) {
        if (family == "553")
            return s.value("gunData").toObject().value("1").toString() == "05 00 21";
        return bytes(s.value("profiles").toObject().value("3").toString(), 78, 4) == "f0 05 00 21";
    };
    const QJsonObject s = p.dumpUntil(done, 20000);
    QVERIFY2(done(s), QJsonDocument(s).toJson().constData());
    // the other slots are sent as they were
    if (family == "553")
        QCOMPARE(s.value("gunData").toObject().value("0").toString(), QStringLiteral("00 00 0a"));
    else
        QCOMPARE(bytes(s.value("profiles").toObject().value("2").toString(), 78, 4),
                 QStringLiteral("f0 00 00 0a"));

    const QByteArray presets = p.readAppFile("modules/gun/gunData.bin");
    QVERIFY2(presets.contains("1=AKM, L-Click, 10, 0, 33, 5"), presets.constData());
    QVERIFY(p.wireCount() > 0);
    QVERIFY2(p.violations().isEmpty(), qPrintable(p.violations().join('\n')));
}

QTEST_GUILESS_MAIN(TestProfileGunEndToEnd)

#include "tst_profile_gun_e2e.moc"
