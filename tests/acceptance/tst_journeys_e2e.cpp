// Whole journeys through the running virtual program, as a user meets it:
// start-up, the DPI save traced byte for byte on the wire, report rate, the
// mouse's own DPI button, the system settings dialog, factory reset, unplug
// and re-plug, a second start, quitting; then bad inputs that must cost
// nothing. One start-up per mouse configuration carries a whole journey.
#include "e2e_support.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonDocument>
#include <QMap>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using e2e::bytes;

namespace {

// Positions in the 1024 x 640 window. Left column from 24,88: key matrix
// (8 buttons) 254 high, editor block 100 (gun mouse), report rate 42 with its
// list 120 wide at the right, then the system-setting row; gaps of 8.
constexpr int kStageList[2] = {768 + 128 + 32, 56 + 8 + 12};
constexpr int kSave[2] = {1024 - 24 - 32, 640 - 8 - 12};
constexpr int kReset[2] = {kSave[0] - 64 - 16, kSave[1]};
constexpr int kListRow = 24;
constexpr int kRateY = 88 + 254 + 8 + 100 + 8;
constexpr int kRateList[2] = {24 + 232 - 8 - 60, kRateY + 21};
constexpr int kSystemRow[2] = {24 + 116, kRateY + 42 + 8 + 12};
constexpr int kSystemDialog[2] = {(1024 - 416) / 2, (640 - 312) / 2};
constexpr int kSystemClose[2] = {kSystemDialog[0] + 416 - 16 - 8, kSystemDialog[1] + 20};
constexpr int kResetOk[2] = {(1024 - 427 + 1) / 2 + 427 - 12 - 44, (640 - 102) / 2 + 102 - 10 - 12};
constexpr int kWindowClose[2] = {920 + 64 + 8, 16 + 8};
// Key assignment dialog (416 x 404, centred), opened from a row of the key
// list; its content scrolls under a 360-high area from 41 px down, moved by
// dragging the handle (212 px of travel for 830 of content).
constexpr int kKeyRowX = 24 + 8 + 108;
constexpr int kAssign[2] = {(1024 - 416) / 2, (640 - 404) / 2};
constexpr int kContentTop = kAssign[1] + 41;
constexpr int kHandle[2] = {kAssign[0] + 402 + 6, kAssign[1] + 42 + 100};
constexpr int kAssignClose[2] = {kAssign[0] + 416 - 16 - 8, kAssign[1] + 12 + 8};
constexpr int kCombo[2] = {kAssign[0] + (416 - 240) / 2 + 100, kContentTop + 250 + 12};
constexpr int kComboConfirm[2] = {kAssign[0] + (416 - 240) / 2 + 240 - 44 + 8, kCombo[1]};
// The DPI panel, for telling its look before and after a change.
constexpr int kDpiPanel[4] = {768, 56, 232, 250};

// Row `row` (0-based) of a drop-down list whose closed box is centred at y.
int listRowY(int y, int row) {
    return y + 12 + row * kListRow + kListRow / 2;
}

bool chooseStages(E2eProgram &p, int count) {
    return p.click(kStageList[0], kStageList[1]) &&
           p.click(kStageList[0] - 20, listRowY(kStageList[1], count - 1));
}

// Pixels of a screen region that differ between two screenshots.
int differingPixels(const E2eProgram &p, const QString &a, const QString &b, const int region[4]) {
    const int winX = p.windowX(), winY = p.windowY();
    const QImage ia(a), ib(b);
    if (ia.isNull() || ia.size() != ib.size())
        return -1;
    int n = 0;
    for (int y = region[1]; y < region[1] + region[3]; ++y)
        for (int x = region[0]; x < region[0] + region[2]; ++x)
            n += ia.pixel(winX + x, winY + y) != ib.pixel(winX + x, winY + y) ? 1 : 0;
    return n;
}

// Share of the start-up logo's bright opaque pixels (sampled on a grid) that a
// screenshot shows centred in the window.
double logoMatch(const E2eProgram &p, const QString &shot) {
    const QImage logo(QStringLiteral(LOGO_PATH)), screen(shot);
    if (logo.isNull() || screen.isNull())
        return -1;
    const int x0 = p.windowX() + (1024 - logo.width()) / 2;
    const int y0 = p.windowY() + (640 - logo.height()) / 2;
    int opaque = 0, same = 0;
    for (int y = 2; y < logo.height() - 2; y += 7)
        for (int x = 2; x < logo.width() - 2; x += 7) {
            const QRgb l = logo.pixel(x, y);
            // its bright strokes: the dark body could pass for the window
            if (qAlpha(l) != 255 || qMax(qRed(l), qMax(qGreen(l), qBlue(l))) < 120 ||
                !screen.valid(x0 + x, y0 + y))
                continue;
            const QRgb s = screen.pixel(x0 + x, y0 + y);
            ++opaque;
            same += qAbs(qRed(l) - qRed(s)) < 40 && qAbs(qGreen(l) - qGreen(s)) < 40 &&
                            qAbs(qBlue(l) - qBlue(s)) < 40
                        ? 1
                        : 0;
        }
    return opaque ? double(same) / opaque : -1;
}

int keyRowY(int button) {
    return 88 + 40 + button * 26 + 12;
}

// Scrolls the open key assignment dialog by `dy` handle pixels; the content
// offset that results.
double scrollAssign(E2eProgram &p, int dy) {
    const QString x = QString::number(p.windowX() + kHandle[0]);
    const int y = p.windowY() + kHandle[1];
    bool ok = e2e::runTool("xdotool", {"mousemove", "--sync", x, QString::number(y)}) &&
              e2e::runTool("xdotool", {"mousedown", "1"});
    for (int step = 1; ok && step <= 4; ++step)
        ok =
            e2e::runTool("xdotool", {"mousemove", "--sync", x, QString::number(y + dy * step / 4)});
    ok = e2e::runTool("xdotool", {"mouseup", "1"}) && ok;
    QTest::qWait(300);
    return ok ? qMin(dy * 830.0 / 212.0, 830.0 - 360.0) : -1;
}

// Entry `position` (four bytes) of a 64-byte key matrix hex text.
QString entryAt(const QString &matrix, int position) {
    return bytes(matrix, position * 4, 4);
}

// Command blocks the program sent on the command interface, unscrambled,
// each with the record it came from.
struct Sent {
    QByteArray block;
    QJsonObject record;
};
QList<Sent> commandsSent(const QList<QJsonObject> &records, bool scrambled, const QString &code) {
    QList<Sent> out;
    for (const QJsonObject &r : records)
        if (r.value("op").toString() == "set_feature" && r.value("iface").toString() == "command" &&
            !r.contains("text"))
            out << Sent{e2e::commandBlock(r.value("data").toString(), scrambled, code), r};
    return out;
}

int indexOfRecord(const QList<QJsonObject> &records, const QJsonObject &r) {
    for (int i = 0; i < records.size(); ++i)
        if (records.at(i) == r)
            return i;
    return -1;
}

QString hexOf(const QByteArray &b) {
    return QString::fromLatin1(b.toHex(' '));
}

} // namespace

class TestJourneys : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void journey_data();
    void journey();
    void buttonFunctions_data();
    void buttonFunctions();
    void corruptDeviceListCostsNothing();
    void mouseThatStopsAnsweringLosesNothing();
    void macroNameWithPathSeparatorIsRefused();
    void importOfANonProfileIsRefused();

private:
    QTemporaryDir dir;
};

void TestJourneys::initTestCase() {
    QVERIFY(dir.isValid());
    QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "runs under xvfb-run");
    QVERIFY2(e2e::runTool("xdotool", {"version"}), "xdotool");
}

void TestJourneys::journey_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<bool>("scrambled");
    QTest::newRow("553 plain") << QStringLiteral("553") << false;
    QTest::newRow("560 scrambled") << QStringLiteral("560") << true;
}

void TestJourneys::journey() {
    QFETCH(QString, family);
    QFETCH(bool, scrambled);
    const bool is560 = family == "560";
    const QString tag = family + (scrambled ? "_scrambled" : "_plain");
    E2eProgram p(dir.path());
    QVERIFY(p.prepare({family, scrambled, true}));

    // ---- start-up ----------------------------------------------------------
    QVERIFY(p.launch());
    QVERIFY2(p.waitForLine("runUI", 40000) >= 0, qPrintable(p.lines().join('\n')));
    QVERIFY(p.findWindow(15000));
    // The start-up logo shows while the first lock lasts (1 s from initUI).
    QString logoShot;
    double logoSeen = 0;
    for (QDeadlineTimer until(3000); !until.hasExpired() && logoSeen < 0.8;)
        logoSeen = logoMatch(p, logoShot = p.screenshot("startup_logo_" + tag));
    QVERIFY2(logoSeen >= 0.8, qPrintable(QString::number(logoSeen)));

    QStringList expectedOrder{"Device Connect", "balloon Info | Detect Device", "start reader 0"};
    if (is560)
        for (int n = 0; n <= 4; ++n)
            expectedOrder << QStringLiteral("read profile %1").arg(n);
    expectedOrder << "initUI"
                  << "runUI";
    int at = 0;
    for (const QString &step : expectedOrder) {
        const int found = p.waitForLine(step, 0, at);
        QVERIFY2(found >= at,
                 qPrintable(step + " missing or out of order:\n" + p.lines().join('\n')));
        at = found + 1;
    }
    QCOMPARE(p.countLines("balloon Info | Detect Device"), 1);

    // The reader turned on the mouse's event reports, keeping the other option bytes.
    const QJsonObject first = p.dumpUntil([&](const QJsonObject &s) {
        return s.value("keyboardOption").toString() == (is560 ? "09 02" : "01 02 00 40");
    });
    QCOMPARE(first.value("keyboardOption").toString(),
             is560 ? QString("09 02") : QString("01 02 00 40"));
    const QList<Sent> startup = commandsSent(p.wire(), scrambled, p.sCode());
    QStringList opcodes;
    for (const Sent &s : startup)
        opcodes << hexOf(s.block.left(1));
    const QString readOption = is560 ? "81" : "83", writeOption = is560 ? "01" : "03";
    QVERIFY2(opcodes.contains(readOption) &&
                 opcodes.indexOf(readOption) < opcodes.indexOf(writeOption),
             qPrintable(opcodes.join(',')));
    if (is560) {
        // All five on-board images are read at connection (a gun mouse).
        QStringList images;
        for (const Sent &s : startup)
            if (uchar(s.block.at(0)) == 0x8c)
                images << QString::number(uchar(s.block.at(1)));
        for (const QString n : {"0", "1", "2", "3", "4"})
            QVERIFY2(images.contains(n), qPrintable(images.join(',')));
    }
    // The scrambled configuration really scrambles: the raw block is not the command.
    for (const Sent &s : startup) {
        const QByteArray raw = e2e::fromHex(s.record.value("data").toString()).mid(1, 8);
        QCOMPARE(raw == s.block, !scrambled);
    }

    // The logo gives way to the window's content after the start-up lock.
    QTest::qWait(1800);
    const QString mainShot = p.screenshot("main_" + tag);
    QVERIFY2(logoMatch(p, mainShot) < 0.5, "the start-up logo was not followed by the window");

    // ---- the typical request: three DPI stages saved ----------------------
    const int beforeSave = p.wireCount();
    QVERIFY(chooseStages(p, 3));
    QVERIFY(p.click(kSave[0], kSave[1]));
    const QString codes = "04 09 0e";
    auto threeStages = [&](const QJsonObject &s) {
        if (!is560)
            return s.value("dpiStages").toInt() == 3 &&
                   bytes(s.value("dpiCodes").toString(), 0, 8) == codes + " 80 80 80 80 80";
        const QJsonObject images = s.value("profiles").toObject();
        for (const QString image : {"1", "2", "3", "4"}) {
            const QString hex = images.value(image).toString();
            if (bytes(hex, 100, 1) != "07" || bytes(hex, 84, 3) != codes)
                return false;
        }
        return true;
    };
    QJsonObject s = p.dumpUntil(threeStages);
    QVERIFY2(threeStages(s), QJsonDocument(s).toJson().constData());
    const QList<QJsonObject> saveWire = p.wire(beforeSave);
    const QList<Sent> saved = commandsSent(saveWire, scrambled, p.sCode());
    if (!is560) {
        const auto dpi = std::find_if(saved.begin(), saved.end(),
                                      [](const Sent &x) { return uchar(x.block.at(0)) == 0x11; });
        QVERIFY(dpi != saved.end());
        QCOMPARE(dpi->record.value("data").toString(), QString("00 11 03 08 00 00 00 00 e3"));
        const int i = indexOfRecord(saveWire, dpi->record);
        QVERIFY(i >= 0 && i + 2 < saveWire.size());
        // Each report goes out on a freshly opened handle; the payload is the
        // next write, and the exchange ends with the next close after it.
        auto next = [&](int after, const QString &op) {
            for (int k = after + 1; k < saveWire.size(); ++k)
                if (saveWire.at(k).value("iface").toString() == "command" &&
                    saveWire.at(k).value("op").toString() == op)
                    return k;
            return -1;
        };
        const int w = next(i, "write");
        QVERIFY(w > i);
        const int c = next(w, "close");
        QVERIFY(c > w);
        for (int k = i + 1; k < w; ++k)
            QVERIFY2(saveWire.at(k).value("op").toString() != "set_feature",
                     "another command between the DPI block and its payload");
        const QJsonObject data = saveWire.at(w), close = saveWire.at(c);
        QCOMPARE(bytes(data.value("data").toString(), 0, 9), "00 " + codes + " 80 80 80 80 80");
        // One output report of the 32-byte report length behind its ID byte.
        QCOMPARE(data.value("data").toString().split(' ').size(), 33);
        QCOMPARE(next(w, "write") < 0 || next(w, "write") > c, true);
        const double tFeature = dpi->record.value("t").toDouble();
        const double tData = data.value("t").toDouble();
        QVERIFY2(tData - tFeature >= 128, qPrintable(QString::number(tData - tFeature)));
        QVERIFY2(close.value("t").toDouble() - tData >= 120 + 128,
                 qPrintable(QString::number(close.value("t").toDouble() - tData)));
    } else {
        QStringList images;
        for (const Sent &x : saved)
            if (uchar(x.block.at(0)) == 0x0c)
                images << QString::number(uchar(x.block.at(1)));
        for (const QString n : {"1", "2", "3", "4"})
            QVERIFY2(images.contains(n), qPrintable(images.join(',')));
    }
    QSettings profile(p.folder() + "/modules/setting/p1.bin", QSettings::IniFormat);
    QCOMPARE(profile.value("mouse/currentDpiCount").toInt(), 3);

    // ---- report rate: 125 Hz ----------------------------------------------
    QVERIFY(p.click(kRateList[0], kRateList[1]));
    QVERIFY(p.click(kRateList[0] - 20, listRowY(kRateList[1], 0)));
    s = p.dumpUntil([](const QJsonObject &s) { return s.value("reportRate").toInt() == 8; });
    QCOMPARE(s.value("reportRate").toInt(), 8);

    // ---- the mouse's own DPI button ---------------------------------------
    struct Press {
        int stage;
        QString text;
    };
    QString lastPanel = p.screenshot("dpi_before_" + tag);
    for (const Press &press :
         {Press{3, "DPI stage 3 "}, Press{9, "DPI stage 8 "}, Press{1, "DPI stage 1 "}}) {
        const int from = p.lines().size();
        QVERIFY(p.control(QByteArray("dpi ") + QByteArray::number(press.stage)));
        const int line = p.waitForLine("balloon Info |", 10000, from);
        QVERIFY2(line >= 0, qPrintable(p.lines().mid(from).join('\n')));
        QVERIFY2(p.lines().at(line).endsWith("| " + press.text), qPrintable(p.lines().at(line)));
        QTest::qWait(500);
        const QString shot = p.screenshot(QStringLiteral("dpi_button_%1_").arg(press.stage) + tag);
        // A stage beyond the panel's eight changes nothing there; the others move the mark.
        const int changed = differingPixels(p, lastPanel, shot, kDpiPanel);
        if (press.stage == 9)
            QCOMPARE(changed, 0);
        else
            QVERIFY2(changed > 0, qPrintable(QString::number(press.stage)));
        lastPanel = shot;
    }

    // ---- system settings dialog -------------------------------------------
    const QString beforeDialog = p.screenshot("before_system_" + tag);
    QVERIFY(p.click(kSystemRow[0], kSystemRow[1]));
    const QString dialogShot = p.screenshot("system_settings_" + tag);
    const int dialogArea[4] = {kSystemDialog[0], kSystemDialog[1], 416, 312};
    QVERIFY(differingPixels(p, beforeDialog, dialogShot, dialogArea) > 416 * 312 / 4);
    QVERIFY(p.click(kSystemClose[0], kSystemClose[1]));
    QVERIFY(differingPixels(p, beforeDialog, p.screenshot("system_closed_" + tag), dialogArea) <
            416 * 312 / 20);

    // ---- factory reset: the profile's defaults go to the mouse again -------
    QVERIFY(p.click(kReset[0], kReset[1]));
    p.screenshot("factory_confirm_" + tag);
    QVERIFY(p.click(kResetOk[0], kResetOk[1]));
    auto defaults = [&](const QJsonObject &s) {
        if (s.value("reportRate").toInt() == 8 || s.value("currentDpi").toInt() != 2)
            return false;
        if (!is560)
            return s.value("dpiStages").toInt() == 4 &&
                   bytes(s.value("dpiCodes").toString(), 0, 4) == codes + " 13";
        return bytes(s.value("profiles").toObject().value("1").toString(), 100, 1) == "0f";
    };
    s = p.dumpUntil(defaults);
    QVERIFY2(defaults(s), QJsonDocument(s).toJson().constData());
    profile.sync();
    QCOMPARE(profile.value("mouse/currentDpiCount").toInt(), 4);

    // ---- unplug, then plug ------------------------------------------------
    QVERIFY(p.waitIdle());
    int from = p.lines().size();
    QVERIFY(p.control("unplug"));
    QVERIFY2(p.waitForLine("Device removed", 10000, from) >= 0,
             qPrintable(p.lines().mid(from).join('\n')));
    QTest::qWait(300);
    const QString unplugged = p.screenshot("unplugged_" + tag);
    p.readOutput();
    QVERIFY2(p.windowVisible(),
             qPrintable("the window stays, disabled:\n" + p.lines().mid(from).join('\n')));
    // Disabled: the report-rate list no longer opens.
    QVERIFY(p.click(kRateList[0], kRateList[1]));
    const int rateListArea[4] = {kRateList[0] - 60, kRateList[1] + 12, 120, 4 * kListRow};
    const QString clicked = p.screenshot("unplugged_click_" + tag);
    QVERIFY2(differingPixels(p, unplugged, clicked, rateListArea) == 0,
             qPrintable("the view took a click after the mouse was unplugged:\n" +
                        p.lines().mid(from).join('\n')));
    from = p.lines().size();
    QVERIFY(p.control("plug"));
    QVERIFY2(p.waitForLine("balloon Info | Detect Device", 15000, from) >= 0,
             qPrintable(p.lines().mid(from).join('\n')));
    QVERIFY(p.waitForLine("runUI", 10000, from) >= 0);
    QCOMPARE(p.countLines("balloon Info | Detect Device", from), 1);
    // The reader listens again.
    from = p.lines().size();
    QTest::qWait(1500);
    QVERIFY(p.control("dpi 2"));
    QVERIFY(p.waitForLine("balloon Info | DPI stage 2 ", 10000, from) >= 0);

    // ---- a second start restores the hidden window and exits with 1 -------
    QVERIFY(p.click(kWindowClose[0], kWindowClose[1], 800));
    QVERIFY2(!p.windowVisible(), "the close button hides the window");
    from = p.lines().size();
    QCOMPARE(p.startAgain(), 1);
    const int restored = p.waitForLine("restore", 10000, from);
    QVERIFY(restored >= 0 && !p.lines().at(restored).contains("dropped"));
    QVERIFY(p.findWindow(10000));
    QVERIFY(p.running());

    // ---- quit -------------------------------------------------------------
    QCOMPARE(p.quit(), 0);
    QVERIFY(p.countLines("exit") >= 1);
    QVERIFY2(p.violations().isEmpty(), qPrintable(p.violations().join('\n')));
}

void TestJourneys::corruptDeviceListCostsNothing() {
    E2eProgram p(dir.path());
    const QByteArray garbage("\x01\xff[[[\n=\n\x00\x7f garbage ]\n", 22);
    QVERIFY(p.prepare({"553", false, true}, [&](QByteArray &text) {
        text = garbage;
        return true;
    }));
    QVERIFY(p.launch());
    QVERIFY2(p.waitForLine("Device DisConnect", 30000) >= 0, qPrintable(p.lines().join('\n')));
    QTest::qWait(1000);
    QVERIFY2(p.running(), qPrintable(p.lines().join('\n')));
    QVERIFY2(!p.windowVisible(), "only the tray icon stays without a device");
    QCOMPARE(p.countLines("Device Connect"), 0);
    QCOMPARE(p.quit(), 0);
    QFile config(p.folder() + "/modules/setting/apConfig.bin");
    QVERIFY(config.open(QIODevice::ReadOnly));
    QCOMPARE(config.readAll(), garbage);
}

void TestJourneys::mouseThatStopsAnsweringLosesNothing() {
    E2eProgram p(dir.path());
    QVERIFY(p.prepare({"553", false, true}));
    QVERIFY2(p.start(), qPrintable(p.lines().join('\n')));
    QTest::qWait(1800);

    // The payload of the DPI command is refused: the settings are still kept.
    QVERIFY(p.control("fail write 1"));
    QVERIFY(chooseStages(p, 3));
    QVERIFY(p.click(kSave[0], kSave[1], 1500));
    QVERIFY(p.running());
    QSettings profile(p.folder() + "/modules/setting/p1.bin", QSettings::IniFormat);
    QCOMPARE(profile.value("mouse/currentDpiCount").toInt(), 3);

    // A mouse that answers nothing: the program waits it out and carries on.
    QVERIFY(p.control("silent 1"));
    QVERIFY(p.click(kRateList[0], kRateList[1]));
    QVERIFY(p.click(kRateList[0] - 20, listRowY(kRateList[1], 1), 1500));
    QVERIFY(p.running());
    QVERIFY(p.control("silent 0"));
    QSettings rate(p.folder() + "/modules/setting/p1.bin", QSettings::IniFormat);
    QCOMPARE(rate.value("mouse/reportRate").toInt(), 1);

    // Answering again: the next save reaches the mouse (no token left taken).
    QVERIFY(chooseStages(p, 2));
    QVERIFY(p.click(kSave[0], kSave[1]));
    const QJsonObject s = p.dumpUntil([](const QJsonObject &s) {
        return s.value("dpiStages").toInt() == 2 &&
               bytes(s.value("dpiCodes").toString(), 0, 3) == "04 09 80";
    });
    QVERIFY2(s.value("dpiStages").toInt() == 2, QJsonDocument(s).toJson().constData());
    p.screenshot("after_failures");
    QCOMPARE(p.quit(), 0);
}

void TestJourneys::buttonFunctions_data() {
    journey_data();
}

// Button 3 (middle) gets Ctrl+B captured from the keyboard, button 4 (forward)
// the DPI loop, button 5 (back, position 4) a gun switch over two slots; one
// Save sends matrix 1 and, for the gun switch, the three layer matrices.
void TestJourneys::buttonFunctions() {
    QFETCH(QString, family);
    QFETCH(bool, scrambled);
    const bool is560 = family == "560";
    const QString tag = family + (scrambled ? "_scrambled" : "_plain");
    E2eProgram p(dir.path());
    QVERIFY(p.prepare({family, scrambled, true}));
    QVERIFY2(p.start(), qPrintable(p.lines().join('\n')));
    QTest::qWait(1800);

    // Key combination, captured through the system-wide key hook.
    QVERIFY(p.click(kKeyRowX, keyRowY(2)));
    QVERIFY(p.click(kCombo[0], kCombo[1]));
    const int keysFrom = p.lines().size();
    QVERIFY(p.key("ctrl+b"));
    QVERIFY2(p.waitForLine("detectKeyboard", 5000, keysFrom) >= 0, "the key hook saw nothing");
    QTest::qWait(300);
    p.screenshot("assign_combo_" + tag);
    QVERIFY(p.click(kComboConfirm[0], kComboConfirm[1]));
    QVERIFY(p.click(kAssignClose[0], kAssignClose[1]));

    // DPI loop: the third of the DPI radios, 558 px down the content.
    QVERIFY(p.click(kKeyRowX, keyRowY(3)));
    double scrolled = scrollAssign(p, 60);
    QVERIFY(scrolled > 0);
    QVERIFY(p.click(kAssign[0] + 48 + 2 * 86 + 20, int(kContentTop + 558 - scrolled + 7)));
    p.screenshot("assign_dpi_" + tag);
    QVERIFY(p.click(kAssignClose[0], kAssignClose[1]));

    // Gun switch over two slots: the second gun radio, 772 px down.
    QVERIFY(p.click(kKeyRowX, keyRowY(4)));
    scrolled = scrollAssign(p, 120);
    QVERIFY(scrolled > 0);
    QVERIFY(p.click(kAssign[0] + 48 + 120 + 20, int(kContentTop + 772 - scrolled + 7)));
    p.screenshot("assign_gun_" + tag);
    QVERIFY(p.click(kAssignClose[0], kAssignClose[1]));
    QVERIFY(p.click(kSave[0], kSave[1]));

    auto matrix = [](const QJsonObject &s, int n) {
        return s.value("keyMatrix").toObject().value(QString::number(n)).toString();
    };
    auto done = [&](const QJsonObject &s) {
        return entryAt(matrix(s, 1), 2) == "00 01 05 00" &&
               entryAt(matrix(s, 1), 3) == "07 00 03 00" &&
               bytes(entryAt(matrix(s, 4), 4), 0, 1) == "08";
    };
    const QJsonObject s = p.dumpUntil(done);
    p.screenshot("buttons_saved_" + tag);
    QVERIFY2(done(s), QJsonDocument(s.value("keyMatrix").toObject()).toJson().constData());
    // The gun switch in each layer: 553 names the next layer in byte 3, 560
    // marks it in byte 2 and widens the layer mask to three layers.
    const QStringList gun =
        is560 ? QStringList{"08 00 01 00", "08 00 03 00", "08 00 00 00", "08 00 00 00"}
              : QStringList{"08 00 01 01", "08 00 01 02", "08 00 01 00", "08 00 01 00"};
    for (int layer = 1; layer <= 4; ++layer)
        QCOMPARE(entryAt(matrix(s, layer), 4), gun.at(layer - 1));
    // The first button of each layer fires with that layer's gun slot.
    for (int layer = 2; layer <= 4; ++layer)
        QCOMPARE(bytes(entryAt(matrix(s, layer), 0), 0, 2),
                 QStringLiteral("0b %1").arg(layer - 2, 2, 10, QLatin1Char('0')));
    if (is560)
        QCOMPARE(bytes(s.value("profiles").toObject().value("0").toString(), 2, 1), QString("0f"));
    QCOMPARE(p.quit(), 0);
    QVERIFY2(p.violations().isEmpty(), qPrintable(p.violations().join('\n')));
}

// A new macro renamed to a name that climbs out of the macro folder: the
// rename is refused, the macro keeps its name and file, nothing is written
// elsewhere.
void TestJourneys::macroNameWithPathSeparatorIsRefused() {
    constexpr int editorRow[2] = {24 + 8 + 108, 88 + 254 + 8 + 40 + 12};
    constexpr int editor[2] = {(1024 - 640) / 2, (640 - 448) / 2};
    constexpr int newButton[2] = {editor[0] + 16 + 32, editor[1] + 81 + 328 + 8 + 12};
    constexpr int firstName[2] = {editor[0] + 16 + 84, editor[1] + 81 + 13};
    constexpr int editorClose[2] = {editor[0] + 640 - 16 - 8, editor[1] + 20};

    E2eProgram p(dir.path());
    QVERIFY(p.prepare({"553", false, true}));
    QVERIFY2(p.start(), qPrintable(p.lines().join('\n')));
    QTest::qWait(1800);
    const QString macros = p.folder() + "/modules/macro/";
    const QStringList before = QDir(macros).entryList(QDir::Files);

    QVERIFY(p.click(editorRow[0], editorRow[1]));
    QVERIFY(p.click(newButton[0], newButton[1]));
    QStringList created = QDir(macros).entryList(QDir::Files);
    QCOMPARE(created.size(), before.size() + 1);
    QString made;
    for (const QString &f : created)
        if (!before.contains(f))
            made = f;
    auto rename = [&](const QString &name) {
        return p.doubleClick(firstName[0], firstName[1]) && p.key("ctrl+a") &&
               e2e::runTool("xdotool", {"type", name}) && p.key("Return");
    };
    // A plain name is taken (so the refusal below is the name's doing).
    QVERIFY(rename("Recoil"));
    QDeadlineTimer renamed(5000);
    while (!QFile::exists(macros + "Recoil.bin") && !renamed.hasExpired())
        QTest::qWait(100);
    QVERIFY2(QFile::exists(macros + "Recoil.bin"), qPrintable(QDir(macros).entryList().join(',')));
    QVERIFY(!QFile::exists(macros + made));
    made = "Recoil.bin";
    created = QDir(macros).entryList(QDir::Files);

    QVERIFY(rename("../evil"));
    p.screenshot("macro_bad_name");
    QVERIFY(p.click(editorClose[0], editorClose[1]));
    QCOMPARE(p.quit(), 0);

    QCOMPARE(QDir(macros).entryList(QDir::Files), created);
    QVERIFY(QFile::exists(macros + made));
    QVERIFY(!QFile::exists(p.folder() + "/modules/evil.bin"));
    QVERIFY(!QFile::exists(macros + "evil.bin"));
    QFile names(p.folder() + "/modules/setting/name.bin");
    QVERIFY(names.open(QIODevice::ReadOnly));
    const QByteArray list = names.readAll();
    QVERIFY2(!list.contains("evil") && list.contains(QFileInfo(made).completeBaseName().toUtf8()),
             list.constData());
}

// Snapshot of the settings folder: every file's bytes by name.
QMap<QString, QByteArray> settingsFiles(const QString &folder) {
    QMap<QString, QByteArray> files;
    for (const QFileInfo &f : QDir(folder).entryInfoList(QDir::Files)) {
        QFile in(f.filePath());
        if (in.open(QIODevice::ReadOnly))
            files.insert(f.fileName(), in.readAll());
    }
    return files;
}

// Waits for a top-level window titled `title`; its id, or empty.
QString waitForWindow(const QString &title, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QByteArray ids;
        if (e2e::runTool("xdotool", {"search", "--onlyvisible", "--name", title}, &ids) &&
            !ids.trimmed().isEmpty())
            return QString::fromLatin1(ids.trimmed().split('\n').first());
        QTest::qWait(200);
    }
    return {};
}

// The profile dialog's Import, given a text file named like a profile: a
// warning says so, and no profile changes.
void TestJourneys::importOfANonProfileIsRefused() {
    constexpr int configButton[2] = {kReset[0] - 64 - 16, kSave[1]};
    constexpr int profileDialog[2] = {(1024 - 415 + 1) / 2, (640 - 288) / 2};
    constexpr int importButton[2] = {profileDialog[0] + 16 + 64 + 8 + 32,
                                     profileDialog[1] + 57 + 180 + 12 + 12};

    E2eProgram p(dir.path());
    QVERIFY(p.prepare({"553", false, true}));
    const QString notAProfile = p.folder() + "/../notes.pf";
    QFile notes(notAProfile);
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("shopping list\nmilk\n");
    notes.close();
    QVERIFY2(p.start(), qPrintable(p.lines().join('\n')));
    QTest::qWait(1800);
    const QString settings = p.folder() + "/modules/setting";
    const QMap<QString, QByteArray> before = settingsFiles(settings);

    QVERIFY(p.click(configButton[0], configButton[1]));
    QVERIFY(p.click(importButton[0], importButton[1], 100));
    const QString chooser = waitForWindow("Open File", 15000);
    QVERIFY2(!chooser.isEmpty(), "no file dialog");
    QVERIFY(e2e::runTool("xdotool", {"windowfocus", "--sync", chooser}));
    QVERIFY(e2e::runTool("xdotool", {"type", QFileInfo(notAProfile).absoluteFilePath()}));
    QVERIFY(p.key("Return"));
    const QString warning = waitForWindow("Import Profile", 10000);
    p.screenshot("import_not_a_profile");
    QVERIFY2(!warning.isEmpty(), "no warning for a file that is not a profile");
    QVERIFY(e2e::runTool("xdotool", {"windowfocus", "--sync", warning}));
    QVERIFY(p.key("Return"));
    QTest::qWait(500);
    QVERIFY(p.running());
    QCOMPARE(p.quit(), 0);

    // Import appends its entry before the file is chosen, and a refused file
    // leaves it like a cancelled choice; everything that was there stays.
    const QMap<QString, QByteArray> after = settingsFiles(settings);
    QCOMPARE(after.keys(), before.keys());
    for (auto it = before.begin(); it != before.end(); ++it) {
        QVERIFY2(!after.value(it.key()).contains("shopping"), qPrintable(it.key()));
        if (it.key() != "name.bin")
            QVERIFY2(after.value(it.key()) == it.value(), qPrintable(it.key() + " changed"));
    }
    QSettings names(settings + "/name.bin", QSettings::IniFormat);
    QCOMPARE(names.value("profile/profileName").toStringList().value(0), QString("Standard0"));
}

QTEST_GUILESS_MAIN(TestJourneys)

#include "tst_journeys_e2e.moc"
