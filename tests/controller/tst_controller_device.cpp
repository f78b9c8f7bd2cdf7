#include "controller_test_support.h"

#include "hid_thread.h"
#include "myqquickview.h"
#include "virtual_mouse.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QQuickWindow>
#include <QtTest>

#include <memory>

using namespace ctrltest;

namespace {

QJsonObject mouseSpec(const QString &family, bool isGun) {
    return QJsonObject{{"family", family},    {"vid", "3a5c"},      {"pid", "7001"},
                       {"usagePage", "ff00"}, {"usage", "ff00"},    {"usagePage2", "ff01"},
                       {"usage2", "ff01"},    {"reportLength", 32}, {"isEncode", false},
                       {"sCode", "SKARN1"},   {"isGun", isGun}};
}

DeviceEntry entryFor(int dev) {
    VirtualMouse &vm = VirtualMouse::instance();
    DeviceEntry e;
    e.type = 1;
    e.vid = 0x3a5c;
    e.pid = 0x7001;
    e.usagePage = e.usage = 0xff00;
    e.usagePage2 = e.usage2 = 0xff01;
    e.reportLength = 32;
    e.isEncode = false;
    e.sCode = QStringLiteral("SKARN1");
    e.commandPath = vm.commandPath(dev);
    e.eventPath = vm.eventPath(dev);
    return e;
}

QByteArray hexState(const QJsonValue &v) {
    return QByteArray::fromHex(v.toString().toLatin1());
}

QByteArray bytes(std::initializer_list<int> v) {
    QByteArray b;
    for (int x : v)
        b.append(char(x));
    return b;
}

// A sandbox with settings for one mouse, the virtual mouse of that family
// and a view talking to it.
struct Rig {
    Sandbox box;
    Hid_Thread hid;
    std::unique_ptr<myQQuickView> view;
    bool ready = false;

    Rig(const QString &family, bool colourful, bool gun, bool is55328 = false) {
        writeStandardFiles(family, colourful, gun, is55328);
        VirtualMouse &vm = VirtualMouse::instance();
        vm.reset();
        vm.useVirtualClock(true);
        Hid_Thread::setSleeper(&VirtualMouse::virtualSleep);
        const int dev = vm.attach(mouseSpec(family == "560" ? "560" : "553", gun));
        hid.setDeviceList({entryFor(dev)});
        hid.setDeviceFlags(family, gun);
        ready = hid.chkDeviceIsEnCode(dev);
        view = std::make_unique<myQQuickView>();
        view->setHid(&hid);
        view->clearHidBusy();
        vm.clearWireLog();
    }

    QJsonObject state() const { return VirtualMouse::instance().state(); }
    QByteArray image(int n) const {
        return hexState(state().value("profiles").toObject().value(QString::number(n)));
    }
    QByteArray matrix(int n) const {
        return hexState(state().value("keyMatrix").toObject().value(QString::number(n)));
    }

    // Opcodes of the commands sent, in order.
    QList<int> opcodes() const {
        QList<int> ops;
        const QJsonArray log = VirtualMouse::instance().wireLog();
        for (const auto &v : log) {
            const QJsonObject o = v.toObject();
            if (o.value("iface").toString() != QLatin1String("command") ||
                o.value("op").toString() != QLatin1String("set_feature"))
                continue;
            const QByteArray report = hexState(QJsonValue(o.value("data").toString().remove(' ')));
            if (report.size() > 1)
                ops << uchar(report.at(1));
        }
        return ops;
    }
    QStringList violations() const { return VirtualMouse::instance().violations(); }
};

QVariantList defaultSrc64() {
    return {0, 0, 0xF0, 0, 0, 0, 0xF1, 0,    0, 0, 0xF2, 0, 0, 0, 0xF4, 0, 0, 0, 0xF3, 0, 5, 0, 1,
            0, 5, 0,    2, 0, 0, 0xF0, 0x1E, 3, 0, 0,    0, 0, 0, 0,    0, 0, 0, 0,    0, 0, 0, 0,
            0, 0, 0,    0, 0, 0, 0,    0,    0, 0, 0xFF, 0, 1, 0, 0xFF, 0, 2, 0};
}

const QByteArray kDefaultMatrix =
    bytes({1,    0, 0xF0, 0, 1, 0, 0xF1, 0, 1, 0, 0xF2, 0, 1, 0, 0xF4, 0, 1, 0, 0xF3, 0, 0x0A, 0xF0,
           0x1E, 3, 7,    0, 1, 0, 7,    0, 2, 0, 1,    0, 0, 0, 1,    0, 0, 0, 1,    0, 0,    0,
           1,    0, 0,    0, 1, 0, 0,    0, 1, 0, 0,    0, 4, 0, 1,    0, 4, 0, 2,    0});

} // namespace

class TestControllerDevice : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void keyMatrixAlone_data();
    void keyMatrixAlone();
    void keyMatrixNotSent();
    void gunSwitch553();
    void gunSwitch560();
    void resetAndSwitchKeyMatrix();
    void dpi553();
    void dpi560_data();
    void dpi560();
    void effects();
    void colours();
    void reportRateAndCurrentDpi_data();
    void reportRateAndCurrentDpi();
    void silentMouseGivesZero();
    void macroData_data();
    void macroData();
    void gunData560();
    void gunData553();
    void gunDataNeedsGunMouse();
    void profileImages();
    void keyboardOption();
    void withoutHidNothingHappens();
};

void TestControllerDevice::initTestCase() {
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

void TestControllerDevice::keyMatrixAlone_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("opcode");
    QTest::newRow("553") << "553" << 0x12;
    QTest::newRow("560") << "560" << 0x0D;
    QTest::newRow("560 with a blank is 553") << "560 " << 0x12;
}

void TestControllerDevice::keyMatrixAlone() {
    QFETCH(QString, family);
    QFETCH(int, opcode);
    Rig rig(family, true, true);
    QVERIFY(rig.ready);
    rig.view->mouseSetKeyMatrix(defaultSrc64(), true, {10, 20, 30});
    QCOMPARE(rig.opcodes(), QList<int>{opcode});
    QCOMPARE(rig.matrix(1).left(64), kDefaultMatrix);
    QVERIFY2(rig.violations().isEmpty(), qPrintable(rig.violations().join('\n')));
}

void TestControllerDevice::keyMatrixNotSent() {
    Rig rig("553", true, false);
    rig.view->mouseSetKeyMatrix(defaultSrc64(), false, {});
    QVERIFY(rig.opcodes().isEmpty());
    QCOMPARE(rig.view->mouseGetKeydefine(7, false), (QVariantList{0, 0xF0, 0x1E, 3}));
}

void TestControllerDevice::gunSwitch553() {
    Rig rig("553", true, true);
    QVariantList src = defaultSrc64();
    src[16] = 8, src[17] = 0, src[18] = 2, src[19] = 0;
    rig.view->mouseSetKeyMatrix(src, true, {90, 80, 70});
    QCOMPARE(rig.opcodes(), (QList<int>{0x12, 0x12, 0x12, 0x12, 0x02}));
    QCOMPARE(rig.matrix(1).mid(16, 4), bytes({8, 0, 1, 1}));
    QCOMPARE(rig.matrix(2).mid(16, 4), bytes({8, 0, 1, 2}));
    QCOMPARE(rig.matrix(3).mid(16, 4), bytes({8, 0, 1, 0}));
    QCOMPARE(rig.matrix(4).mid(16, 4), bytes({8, 0, 1, 0}));
    QCOMPARE(rig.matrix(3).left(4), bytes({0x0B, 1, 80, 0}));
    // Layers come from the profile's templates (1, 0, j, 0).
    QCOMPARE(rig.matrix(2).mid(36, 4), bytes({1, 0, 9, 0}));
    QCOMPARE(rig.state().value("currentKeyMatrix").toInt(), 1);
    QVERIFY2(rig.violations().isEmpty(), qPrintable(rig.violations().join('\n')));
}

void TestControllerDevice::gunSwitch560() {
    Rig rig("560", true, true);
    QVariantList src = defaultSrc64();
    src[40] = 8, src[42] = 3; // button 10, three gun slots
    rig.view->mouseSetKeyMatrix(src, true, {90, 80, 70});
    QCOMPARE(rig.opcodes(), (QList<int>{0x0C, 0x0D, 0x0D, 0x0D, 0x0D, 0x02}));
    QCOMPARE(int(uchar(rig.image(0).at(2))), 31);
    QCOMPARE(int(rig.view->profileImage(0)[2]), 31);
    QCOMPARE(rig.matrix(1).mid(40, 4), bytes({8, 0, 1, 0}));
    QCOMPARE(rig.matrix(2).mid(40, 4), bytes({8, 0, 3, 0}));
    QCOMPARE(rig.matrix(3).mid(40, 4), bytes({8, 0, 3, 0}));
    QCOMPARE(rig.matrix(4).mid(40, 4), bytes({8, 0, 0, 0}));
    QCOMPARE(rig.matrix(4).left(4), bytes({0x0B, 2, 70, 0}));
    QCOMPARE(rig.state().value("currentProfile").toInt(), 1);
    QVERIFY2(rig.violations().isEmpty(), qPrintable(rig.violations().join('\n')));
}

void TestControllerDevice::resetAndSwitchKeyMatrix() {
    Rig rig("553", true, true);
    rig.view->mouseResetKeyMatrix();
    QCOMPARE(rig.opcodes(), (QList<int>{0x12, 0x12, 0x12}));
    for (int n = 2; n <= 4; ++n)
        QCOMPARE(rig.matrix(n).mid(12, 4), bytes({1, 0, 3, 0}));
    rig.view->mouseSwitchKeyMatrix(3);
    QCOMPARE(rig.state().value("currentKeyMatrix").toInt(), 2);
    rig.view->mouseSwitchKeyMatrix(1);
    QCOMPARE(rig.state().value("currentKeyMatrix").toInt(), 0);

    Rig rig560("560", true, true);
    rig560.view->mouseSwitchKeyMatrix(2);
    QCOMPARE(rig560.state().value("currentProfile").toInt(), 2);
    QVERIFY(rig.violations().isEmpty() && rig560.violations().isEmpty());
}

void TestControllerDevice::dpi553() {
    Rig rig("553", true, false);
    rig.view->mouseSetDpi(3, "3360", {800, 1600, 2400, 3200, 4000, 4800, 5600, 6400});
    QCOMPARE(rig.opcodes(), QList<int>{0x11});
    QCOMPARE(rig.state().value("dpiStages").toInt(), 3);
    QCOMPARE(hexState(rig.state().value("dpiCodes")),
             bytes({7, 15, 23, 0x80, 0x80, 0x80, 0x80, 0x80}));
    QVERIFY(rig.violations().isEmpty());
}

void TestControllerDevice::dpi560_data() {
    QTest::addColumn<bool>("gun");
    QTest::addColumn<QList<int>>("opcodes");
    QTest::newRow("plain") << false << QList<int>{0x0C};
    QTest::newRow("gun") << true << QList<int>{0x0C, 0x0C, 0x0C, 0x0C};
}

void TestControllerDevice::dpi560() {
    QFETCH(bool, gun);
    QFETCH(QList<int>, opcodes);
    Rig rig("560", true, gun);
    rig.view->mouseSetDpi(3, "3389", {800, 12800, 16000}); // a short list
    QCOMPARE(rig.opcodes(), opcodes);
    const QByteArray codes = bytes({16, 0, 0x40, 0, 0, 0, 0, 0});
    for (int n = 1; n <= 4; ++n) {
        const QByteArray img = rig.image(n);
        const bool sent = n == 1 || gun;
        QCOMPARE(img.mid(84, 8) == codes, sent);
        if (!sent)
            continue;
        QCOMPARE(img.mid(92, 8), codes);
        QCOMPARE(int(uchar(img.at(100))), 7);
        QCOMPARE(img.mid(82, 2), bytes({6, 6}));
    }
    QVERIFY(rig.violations().isEmpty());
}

void TestControllerDevice::effects() {
    {
        Rig rig("553", true, false);
        rig.view->mouseSetRGBEffect(3, 2, 2);
        QCOMPARE(hexState(rig.state().value("ledEffect")), bytes({0, 0, 0}));
        rig.view->mouseSetRGBEffect(5, 1, 4);
        QCOMPARE(hexState(rig.state().value("ledEffect")), bytes({5, 255, 7}));
    }
    for (bool is55328 : {false, true}) {
        Rig rig("553", false, false, is55328);
        rig.view->mouseSetRGBEffect(4, 1, 0);
        QCOMPARE(hexState(rig.state().value("ledEffect")), bytes({2, 2, is55328 ? 3 : 2}));
    }
    {
        Rig rig("560", false, false);
        rig.view->mouseSetRGBEffect(2, 1, 0);
        QCOMPARE(rig.opcodes(), QList<int>{0x0C});
        QCOMPARE(rig.image(1).mid(71, 3), bytes({3, 24, 3}));
    }
    {
        Rig rig("560", false, true);
        rig.view->mouseSetRGBEffect(0, 0, 4);
        QCOMPARE(rig.opcodes(), (QList<int>{0x0C, 0x0C, 0x0C, 0x0C}));
        for (int n = 1; n <= 4; ++n)
            QCOMPARE(rig.image(n).mid(71, 3), bytes({1, 10, 2}));
    }
    {
        Rig rig("560", true, true);
        rig.view->mouseSetRGBEffect(9, 3, 2);
        QCOMPARE(rig.opcodes().size(), 4);
        QCOMPARE(rig.image(4).mid(71, 3), bytes({9, 128, 7}));
        QVERIFY(rig.violations().isEmpty());
    }
}

void TestControllerDevice::colours() {
    QVariantList colours;
    for (int i = 0; i < 24; ++i)
        colours << 10 + i;
    QVariantList noEighth = colours;
    noEighth[21] = noEighth[22] = noEighth[23] = 0;
    {
        Rig rig("553", true, false, true);
        rig.view->mouseSetRGBColor(0, noEighth);
        QCOMPARE(rig.opcodes(), QList<int>{0x0C});
        QCOMPARE(hexState(rig.state().value("fixColor")), bytes({10, 11, 12}));
        rig.view->mouseSetRGBColor(0, colours);
        QCOMPARE(rig.opcodes(), (QList<int>{0x0C, 0x10}));
        QCOMPARE(hexState(rig.state().value("ledColors")).left(24).at(23), char(33));
    }
    {
        Rig rig("553", false, false, false);
        rig.view->mouseSetRGBColor(1, noEighth);
        QCOMPARE(rig.opcodes(), (QList<int>{0x10, 0x10}));
        QCOMPARE(rig.state().value("ledColorType").toInt(), 1);
    }
    {
        Rig rig("560", true, false);
        rig.view->mouseSetRGBColor(0, colours.mid(0, 6)); // short: the rest is zero
        QCOMPARE(rig.opcodes(), QList<int>{0x0C});
        QCOMPARE(rig.image(0).mid(24, 24), bytes({10, 11, 12, 13, 14, 15, 0, 0, 0, 0, 0, 0,
                                                  0,  0,  0,  0,  0,  0,  0, 0, 0, 0, 0, 0}));
    }
    {
        Rig rig("560", false, false);
        rig.view->mouseSetRGBColor(1, colours);
        QCOMPARE(rig.image(1).mid(104, 3), bytes({10, 11, 12}));
        QCOMPARE(int(uchar(rig.image(1).at(127))), 33);
        QVERIFY(rig.violations().isEmpty());
    }
}

void TestControllerDevice::reportRateAndCurrentDpi_data() {
    QTest::addColumn<QString>("family");
    QTest::newRow("553") << "553";
    QTest::newRow("560") << "560";
}

void TestControllerDevice::reportRateAndCurrentDpi() {
    QFETCH(QString, family);
    Rig rig(family, true, false);
    if (family == "560")
        rig.view->mouseSwitchKeyMatrix(1);
    rig.view->mouseSetReportRate(4);
    QCOMPARE(rig.state().value("reportRate").toInt(), 4);
    rig.view->mouseSetCurrentDPI(3);
    QCOMPARE(rig.state().value("currentDpi").toInt(), 3);
    QCOMPARE(rig.view->mouseGetCurrentDPI(), QVariant(3));
    QVERIFY2(rig.violations().isEmpty(), qPrintable(rig.violations().join('\n')));
}

void TestControllerDevice::silentMouseGivesZero() {
    for (const QString family : {"553", "560"}) {
        Rig rig(family, true, false);
        rig.view->mouseSetCurrentDPI(2);
        VirtualMouse::instance().setSilent(true);
        QCOMPARE(rig.view->mouseGetCurrentDPI(), QVariant(0));
        QCOMPARE(rig.view->mouseReadCurrentProfile(), QVariant(0));
    }
}

void TestControllerDevice::macroData_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QList<int>>("opcodes");
    QTest::newRow("553 slot 0") << "553" << 0 << 8 << true << QList<int>{0x13};
    QTest::newRow("560 slot 11") << "560" << 11 << 8 << true << QList<int>{0x0F};
    QTest::newRow("560 full 128") << "560" << 2 << 128 << true << QList<int>{0x0F};
    QTest::newRow("slot 12 not sent") << "553" << 12 << 8 << true << QList<int>{};
    QTest::newRow("slot 256 wraps to 0") << "553" << 256 << 8 << true << QList<int>{0x13};
    QTest::newRow("129 values refused") << "560" << 0 << 129 << false << QList<int>{};
    QTest::newRow("130 values refused") << "553" << 1 << 130 << false << QList<int>{};
}

void TestControllerDevice::macroData() {
    QFETCH(QString, family);
    QFETCH(int, slot);
    QFETCH(int, count);
    QFETCH(bool, result);
    QFETCH(QList<int>, opcodes);
    Rig rig(family, true, false);
    QVariantList data = {0, 1, 5, 4, 0x81, 4, 0, 0};
    while (data.size() < count)
        data << 0x100 + data.size(); // low 8 bits go out
    QCOMPARE(rig.view->mouseSendMacroData(data.mid(0, count), slot), QVariant(result));
    QCOMPARE(rig.opcodes(), opcodes);
    if (!opcodes.isEmpty()) {
        const QByteArray stored =
            hexState(rig.state().value("macros").toObject().value(QString::number(slot % 256 + 1)));
        QCOMPARE(stored.size(), 128);
        QCOMPARE(stored.left(8), bytes({0, 1, 5, 4, 0x81, 4, 0, 0}));
        QCOMPARE(int(uchar(stored.at(9))), count > 9 ? 9 : 0);
    }
    QVERIFY(rig.violations().isEmpty());
}

void TestControllerDevice::gunData560() {
    Rig rig("560", true, true);
    rig.view->profileImage(2)[65] = 0xFF;
    rig.view->mouseSendGundata(1, {3, 2, 10});
    QCOMPARE(rig.opcodes(), QList<int>{0x0C});
    QCOMPARE(rig.image(2).mid(78, 4), bytes({0xF0, 3, 2, 10}));
    QCOMPARE(int(uchar(rig.image(2).at(65))), 0xFB);
    rig.view->mouseSendGundata(3, {0, 1, 1});
    QCOMPARE(rig.image(4).mid(78, 4), bytes({0xF0, 0, 1, 1}));
    for (int bad : {0, 4, -1})
        rig.view->mouseSendGundata(bad, {1, 1, 1});
    QCOMPARE(rig.opcodes().size(), 2);
    QVERIFY(rig.violations().isEmpty());
}

void TestControllerDevice::gunData553() {
    Rig rig("553", true, true);
    rig.view->mouseSendGundata(1, {0, 4, 10});
    QCOMPARE(rig.opcodes(), (QList<int>{0x83, 0x04}));
    QCOMPARE(hexState(rig.state().value("gunData").toObject().value("0")), bytes({0, 4, 10}));
    rig.view->mouseSetKeyboardoption(0, 0, 1, 0);
    rig.view->mouseSendGundata(3, {5, 4, 10});
    QCOMPARE(hexState(rig.state().value("gunData").toObject().value("2")), bytes({5, 4, 0xF6}));
    QVERIFY2(rig.violations().isEmpty(), qPrintable(rig.violations().join('\n')));
}

void TestControllerDevice::gunDataNeedsGunMouse() {
    for (const QString family : {"553", "560"}) {
        Rig rig(family, true, false);
        rig.view->mouseSendGundata(1, {1, 2, 3});
        QVERIFY(rig.opcodes().isEmpty());
    }
}

void TestControllerDevice::profileImages() {
    Rig rig("560", true, true);
    for (int i = 0; i < 128; ++i)
        rig.view->profileImage(1)[i] = uchar(i * 3);
    rig.view->mouseSetProfile(1);
    QByteArray sent = rig.image(1);
    QCOMPARE(sent.size(), 128);
    for (int i = 0; i < 128; ++i)
        QCOMPARE(uchar(sent.at(i)), uchar(i * 3));

    // Read back into another image number.
    std::fill_n(rig.view->profileImage(1), 128, 0);
    rig.view->mouseReadProfile(1);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(rig.view->profileImage(1)), 128), sent);

    rig.view->mouseSwitchKeyMatrix(3);
    QCOMPARE(rig.view->mouseReadCurrentProfile(), QVariant(3));

    const int before = rig.opcodes().size();
    rig.view->mouseSetProfile(5);
    rig.view->mouseReadProfile(99);
    rig.view->mouseSetProfile(uint(-1));
    QCOMPARE(rig.opcodes().size(), before);
    QVERIFY(rig.violations().isEmpty());
}

void TestControllerDevice::keyboardOption() {
    Rig rig("553", true, false);
    rig.view->mouseSetKeyboardoption(1, 2, 3, 4);
    QCOMPARE(rig.view->GetKeyboardoption(), (QVariantList{1, 2, 3, 4}));
}

void TestControllerDevice::withoutHidNothingHappens() {
    Rig rig("560", true, true);
    myQQuickView lone;
    lone.clearHidBusy();
    lone.mouseSetKeyMatrix(defaultSrc64(), true, {1, 2, 3});
    lone.mouseResetKeyMatrix();
    lone.mouseSwitchKeyMatrix(1);
    lone.mouseSetDpi(3, "4090", {800});
    lone.mouseSetRGBEffect(1, 1, 1);
    lone.mouseSetRGBColor(0, {1, 2, 3});
    lone.mouseSetReportRate(1);
    lone.mouseSetCurrentDPI(1);
    lone.mouseSetProfile(1);
    lone.mouseReadProfile(1);
    lone.mouseSendGundata(1, {1, 2, 3});
    lone.mouseSetKeyboardoption(1, 2, 3, 4);
    QCOMPARE(lone.mouseSendMacroData({1, 2}, 0), QVariant(true));
    QCOMPARE(lone.mouseGetCurrentDPI(), QVariant(0));
    QCOMPARE(lone.mouseReadCurrentProfile(), QVariant(0));
    QCOMPARE(lone.GetKeyboardoption(), (QVariantList{0, 0, 0, 0}));
    QVERIFY(rig.opcodes().isEmpty());
    for (int n = 0; n < 5; ++n)
        QVERIFY(std::all_of(lone.profileImage(n), lone.profileImage(n) + 128,
                            [](uchar b) { return b == 0; }));
}

QTEST_MAIN(TestControllerDevice)
#include "tst_controller_device.moc"
