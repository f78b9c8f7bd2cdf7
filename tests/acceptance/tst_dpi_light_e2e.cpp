// Three DPI stages and a lighting choice made with the pointer in the
// running virtual program, saved, and read back from the simulated mouse.
#include "e2e_support.h"

#include <QDir>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

using e2e::bytes;

namespace {

// Positions in the 1024 x 640 window: the DPI panel sits at 768,56 with its
// stage-count list 128 px in; the lighting panel below it at 768,320 with its
// effect list 80 px in; Save is the last of the bottom buttons.
constexpr int kStageList[2] = {768 + 128 + 32, 56 + 8 + 12};
constexpr int kEffectList[2] = {768 + 80 + 60, 320 + 8 + 12};
constexpr int kSave[2] = {1024 - 24 - 32, 640 - 8 - 12};
constexpr int kListRow = 24;

} // namespace

class TestDpiLightEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void stagesAndLightReachTheMouse_data();
    void stagesAndLightReachTheMouse();

private:
    QTemporaryDir dir;
};

void TestDpiLightEndToEnd::initTestCase() {
    QVERIFY(dir.isValid());
    QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "runs under xvfb-run");
    QVERIFY2(e2e::runTool("xdotool", {"version"}), "xdotool");
}

void TestDpiLightEndToEnd::stagesAndLightReachTheMouse_data() {
    QTest::addColumn<QString>("family");
    QTest::newRow("553") << QStringLiteral("553");
    QTest::newRow("560") << QStringLiteral("560");
}

void TestDpiLightEndToEnd::stagesAndLightReachTheMouse() {
    QFETCH(QString, family);
    E2eProgram p(dir.path());
    QVERIFY(p.prepare({family, true, true}));
    QVERIFY2(p.start(), qPrintable(p.lines().join('\n')));
    // past the start-up lock (1 s) before the first click
    QTest::qWait(1800);

    // Three stages: open the list and take its third row, then Save.
    QVERIFY(p.click(kStageList[0], kStageList[1]));
    QVERIFY(p.click(kStageList[0] - 20, kStageList[1] + 12 + 2 * kListRow + kListRow / 2));
    QVERIFY(p.click(kSave[0], kSave[1]));

    // Stages 1..3 hold 500, 1000, 1500 (sensor 3360: value / 100 - 1).
    const QString ownCodes = "04 09 0e";
    QJsonObject s;
    QDeadlineTimer deadline(20000);
    auto stagesDone = [&] {
        if (family == "553")
            return s.value("dpiStages").toInt() == 3 &&
                   bytes(s.value("dpiCodes").toString(), 0, 8) == ownCodes + " 80 80 80 80 80";
        const QJsonObject images = s.value("profiles").toObject();
        for (const QString image : {"1", "2", "3", "4"}) {
            const QString hex = images.value(image).toString();
            if (bytes(hex, 100, 1) != "07" || bytes(hex, 84, 3) != ownCodes)
                return false;
        }
        return true;
    };
    while (!(s = p.dump()).isEmpty() && !stagesDone() && !deadline.hasExpired())
        QTest::qWait(250);
    QVERIFY2(stagesDone(), QJsonDocument(s).toJson().constData());

    // Breath, then block 0 typed as 0, 128, 255; then Save. Choosing Breath
    // shows the speed row only, which puts the R, G, B boxes 177 px into
    // the panel.
    QVERIFY(p.click(kEffectList[0], kEffectList[1]));
    QVERIFY(p.click(kEffectList[0] - 20, kEffectList[1] + 12 + kListRow + kListRow / 2));
    const int boxesY = 320 + 177 + 8;
    QVERIFY(p.typeInto(768 + 52, boxesY, "0"));
    QVERIFY(p.typeInto(768 + 112, boxesY, "128"));
    QVERIFY(p.typeInto(768 + 172, boxesY, "255"));
    QVERIFY(p.click(kSave[0], kSave[1]));

    // Colour Breath at speed index 0: effect 3, value 0, speed 10.
    const QString effect = "03 00 0a";
    const QString colours =
        "00 80 ff 00 ff 00 00 00 ff ff 00 ff 00 ff ff ff 7f 00 60 00 ff ff ff ff";
    deadline.setRemainingTime(20000);
    auto lightDone = [&] {
        if (family == "553")
            return s.value("ledEffect").toString() == effect &&
                   s.value("ledColors").toString() == colours;
        const QJsonObject images = s.value("profiles").toObject();
        for (const QString image : {"1", "2", "3", "4"})
            if (bytes(images.value(image).toString(), 71, 3) != effect)
                return false;
        return bytes(images.value("0").toString(), 24, 24) == colours;
    };
    while (!(s = p.dump()).isEmpty() && !lightDone() && !deadline.hasExpired())
        QTest::qWait(250);

    p.screenshot("dpi_light_" + family);
    QVERIFY2(lightDone(), QJsonDocument(s).toJson().constData());

    QVERIFY2(p.violations().isEmpty(), qPrintable(p.violations().join('\n')));
}

QTEST_GUILESS_MAIN(TestDpiLightEndToEnd)

#include "tst_dpi_light_e2e.moc"
