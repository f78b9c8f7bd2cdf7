#include "../device/device_test_support.h"
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

QByteArray hex(const QJsonValue &v) {
    return QByteArray::fromHex(v.toString().toLatin1());
}

// Settings for one mouse, the virtual mouse of that family on its virtual
// clock, and a view talking to it.
struct Rig {
    Sandbox box;
    Hid_Thread hid;
    std::unique_ptr<myQQuickView> view;

    Rig(const QString &family, bool colourful, bool gun, bool is55328 = false)
        : box(family, colourful, gun, is55328) {
        devtest::freshMouse();
        QJsonObject config = devtest::deviceJson(family, 32, false);
        config["isGun"] = gun;
        const int dev = VirtualMouse::instance().attach(config);
        hid.setDeviceList({devtest::entryFor(dev, config)});
        hid.setDeviceFlags(family, gun);
        hid.currentIndex = dev;
        view = std::make_unique<myQQuickView>();
        view->setHid(&hid);
        view->clearHidBusy();
        VirtualMouse::instance().clearWireLog();
    }
    QJsonObject state() const { return VirtualMouse::instance().state(); }
    QByteArray image(int n) const {
        return hex(state()["profiles"].toObject()[QString::number(n)]);
    }
    QByteArray matrix(int n) const {
        return hex(state()["keyMatrix"].toObject()[QString::number(n)]);
    }
    // Opcodes of the commands sent, in order.
    QList<int> opcodes() const {
        QList<int> ops;
        for (const auto &v : VirtualMouse::instance().wireLog()) {
            const QJsonObject o = v.toObject();
            if (o["iface"] == "command" && o["op"] == "set_feature")
                ops << uchar(hex(o["data"].toString().remove(' ')).at(1));
        }
        return ops;
    }
};

QVariantList defaultSrc64() {
    QVariantList src = {0, 0, 0xF0, 0, 0, 0, 0xF1, 0, 0, 0, 0xF2, 0, 0, 0,    0xF4, 0,
                        0, 0, 0xF3, 0, 5, 0, 1,    0, 5, 0, 2,    0, 0, 0xF0, 0x1E, 3};
    for (int i = 8; i < 14; ++i)
        src << 0 << 0 << 0 << 0;
    return src << 0xFF << 0 << 1 << 0 << 0xFF << 0 << 2 << 0;
}

} // namespace

class TestControllerDevice : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QQuickWindow::setGraphicsApi(QSGRendererInterface::Software); }
    // Whatever was sent, the mouse found nothing wrong with it.
    void cleanup() {
        const QStringList violations = VirtualMouse::instance().violations();
        QVERIFY2(violations.isEmpty(), qPrintable(violations.join('\n')));
    }
    void keyMatrix_data();
    void keyMatrix();
    void resetAndSwitchKeyMatrix();
    void dpiAndRate_data();
    void dpiAndRate();
    void lighting_data();
    void lighting();
    void macroData();
    void gunData();
    void profileImages();
    void withoutHidNothingHappens();
};

void TestControllerDevice::keyMatrix_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("gunSlots"); // 0: no gun switch on button 4
    QTest::addColumn<QList<int>>("opcodes");
    QTest::addColumn<QByteArray>("button4"); // position 4 in matrices 1..4 as sent

    QTest::newRow("553") << "553" << 0 << QList<int>{0x12} << bytes({1, 0, 0xF3, 0});
    QTest::newRow("560") << "560" << 0 << QList<int>{0x0D} << bytes({1, 0, 0xF3, 0});
    QTest::newRow("553 gun") << "553" << 2 << QList<int>{0x12, 0x12, 0x12, 0x12, 0x02}
                             << bytes({8, 0, 1, 1, 8, 0, 1, 2, 8, 0, 1, 0, 8, 0, 1, 0});
    QTest::newRow("560 gun") << "560" << 3 << QList<int>{0x0C, 0x0D, 0x0D, 0x0D, 0x0D, 0x02}
                             << bytes({8, 0, 1, 0, 8, 0, 3, 0, 8, 0, 3, 0, 8, 0, 0, 0});
}

void TestControllerDevice::keyMatrix() {
    QFETCH(QString, family);
    QFETCH(int, gunSlots);
    QFETCH(QList<int>, opcodes);
    QFETCH(QByteArray, button4);
    Rig rig(family, true, true);
    QVariantList src = defaultSrc64();
    if (gunSlots) {
        src[16] = 8, src[18] = gunSlots;
    }
    rig.view->mouseSetKeyMatrix(src, false, {90, 80, 70});
    QVERIFY(rig.opcodes().isEmpty());
    rig.view->mouseSetKeyMatrix(src, true, {90, 80, 70});
    QCOMPARE(rig.opcodes(), opcodes);
    QByteArray got;
    for (int n = 1; n <= button4.size() / 4; ++n)
        got += rig.matrix(n).mid(16, 4);
    QCOMPARE(got, button4);
    if (gunSlots) {
        // The layers fire with their slot's period; the rest is the profile's template.
        QCOMPARE(rig.matrix(3).left(4), bytes({0x0B, 1, 80, 0}));
        QCOMPARE(rig.matrix(2).mid(36, 4), bytes({1, 0, 9, 0}));
        if (family == "560")
            QCOMPARE(int(uchar(rig.image(0).at(2))), 31);
        QCOMPARE(rig.state()[family == "560" ? "currentProfile" : "currentKeyMatrix"].toInt(), 1);
    }
}

void TestControllerDevice::resetAndSwitchKeyMatrix() {
    Rig rig("553", true, true);
    rig.view->mouseResetKeyMatrix();
    QCOMPARE(rig.opcodes(), (QList<int>{0x12, 0x12, 0x12}));
    for (int n = 2; n <= 4; ++n)
        QCOMPARE(rig.matrix(n).mid(12, 4), bytes({1, 0, 3, 0}));
    rig.view->mouseSwitchKeyMatrix(3);
    QCOMPARE(rig.state()["currentKeyMatrix"].toInt(), 2);
}

void TestControllerDevice::dpiAndRate_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<bool>("gun");
    QTest::addColumn<QList<int>>("opcodes");
    QTest::newRow("553") << "553" << false << QList<int>{0x11};
    QTest::newRow("560") << "560" << false << QList<int>{0x0C};
    QTest::newRow("560 gun") << "560" << true << QList<int>{0x0C, 0x0C, 0x0C, 0x0C};
}

void TestControllerDevice::dpiAndRate() {
    QFETCH(QString, family);
    QFETCH(bool, gun);
    QFETCH(QList<int>, opcodes);
    Rig rig(family, true, gun);
    rig.view->mouseSetDpi(3, "3389", {800, 12800, 16000}); // a short list
    QCOMPARE(rig.opcodes(), opcodes);
    const QByteArray codes = bytes({16, 0, 0x40, 0, 0, 0, 0, 0});
    if (family == "553") {
        QCOMPARE(rig.state()["dpiStages"].toInt(), 3);
        QCOMPARE(hex(rig.state()["dpiCodes"]), codes.left(3) + QByteArray(5, char(0x80)));
    }
    for (int n = 1; n <= 4 && family == "560"; ++n) {
        const QByteArray img = rig.image(n);
        QCOMPARE(img.mid(82, 19) == bytes({6, 6}) + codes + codes + bytes({7}), n == 1 || gun);
    }
    rig.view->mouseSetReportRate(4);
    rig.view->mouseSetCurrentDPI(3);
    QCOMPARE(rig.state()["reportRate"].toInt(), 4);
    QCOMPARE(rig.view->mouseGetCurrentDPI(), QVariant(3));
    VirtualMouse::instance().setSilent(true); // no answer reads as 0
    QCOMPARE(rig.view->mouseGetCurrentDPI(), QVariant(0));
}

void TestControllerDevice::lighting_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("flags");         // 1 colourful, 2 gun, 4 the 55328 variant
    QTest::addColumn<QList<int>>("effect"); // effect, speed, brightness as chosen
    QTest::addColumn<QByteArray>("kept");   // effect, value, option as the mouse keeps them
    QTest::addColumn<int>("colours");       // colour bytes set
    QTest::addColumn<QList<int>>("opcodes");
    QTest::newRow("553 colour") << "553" << 1 << QList<int>{5, 1, 4} << bytes({5, 255, 7}) << 24
                                << QList<int>{0x0D, 0x10, 0x10};
    QTest::newRow("553 single") << "553" << 0 << QList<int>{4, 1, 0} << bytes({2, 2, 2}) << 24
                                << QList<int>{0x0D, 0x10, 0x10};
    QTest::newRow("553 single 55328")
        << "553" << 4 << QList<int>{4, 1, 0} << bytes({2, 2, 3}) << 24 << QList<int>{0x0D, 0x10};
    QTest::newRow("553 colour 55328, colour 8 off")
        << "553" << 5 << QList<int>{0, 2, 3} << bytes({1, 192, 0}) << 21 << QList<int>{0x0D, 0x0C};
    QTest::newRow("560 colour") << "560" << 1 << QList<int>{8, 3, 2} << bytes({8, 128, 13}) << 2
                                << QList<int>{0x0C, 0x0C};
    QTest::newRow("560 single") << "560" << 0 << QList<int>{2, 1, 0} << bytes({3, 24, 3}) << 24
                                << QList<int>{0x0C, 0x0C};
    QTest::newRow("560 single gun") << "560" << 2 << QList<int>{0, 0, 4} << bytes({1, 10, 2}) << 24
                                    << QList<int>{0x0C, 0x0C, 0x0C, 0x0C, 0x0C};
}

void TestControllerDevice::lighting() {
    QFETCH(QString, family);
    QFETCH(int, flags);
    QFETCH(QList<int>, effect);
    QFETCH(QByteArray, kept);
    QFETCH(int, colours);
    QFETCH(QList<int>, opcodes);
    Rig rig(family, flags & 1, flags & 2, flags & 4);
    rig.view->mouseSetRGBEffect(effect[0], effect[1], effect[2]);
    QVariantList chosen;
    QByteArray sent(24, 0);
    for (int i = 0; i < colours; ++i)
        chosen << 10 + i, sent[i] = char(10 + i);
    rig.view->mouseSetRGBColor(1, chosen);
    QCOMPARE(rig.opcodes(), opcodes);
    if (family == "553") {
        QCOMPARE(hex(rig.state()["ledEffect"]), kept);
        if (colours < 24)
            QCOMPARE(hex(rig.state()["fixColor"]), sent.left(3));
        else
            QCOMPARE(hex(rig.state()["ledColors"]), sent);
    } else {
        for (int n = 1; n <= ((flags & 2) ? 4 : 1); ++n)
            QCOMPARE(rig.image(n).mid(71, 3), kept);
        QCOMPARE(rig.image(flags & 1 ? 0 : 1).mid(flags & 1 ? 24 : 104, 24), sent);
    }
}

void TestControllerDevice::macroData() {
    for (const char *family : {"553", "560"}) {
        Rig rig(family, true, false);
        QVariantList data = {0, 1, 5, 4, 0x81, 4, 0, 0};
        QByteArray sent = bytes({0, 1, 5, 4, 0x81, 4, 0, 0});
        for (int i = 8; i < 128; ++i)
            data << 0x100 + i, sent += char(i); // only the low 8 bits go out
        QVERIFY(rig.view->mouseSendMacroData(data, 11).toBool());
        QVERIFY(rig.view->mouseSendMacroData(data.mid(0, 8), 256).toBool()); // slot 0
        QVERIFY(rig.view->mouseSendMacroData(data, 12).toBool()); // no such slot: not sent
        QVERIFY(!rig.view->mouseSendMacroData(data + QVariantList{0}, 0).toBool()); // too long
        QCOMPARE(rig.opcodes(), QList<int>(2, family == QLatin1String("553") ? 0x13 : 0x0F));
        const QJsonObject macros = rig.state()["macros"].toObject();
        QCOMPARE(hex(macros["12"]), sent);
        QCOMPARE(hex(macros["1"]), sent.left(8) + QByteArray(120, 0));
    }
}

void TestControllerDevice::gunData() {
    {
        Rig rig("560", true, true);
        rig.view->profileImage(2)[65] = 0xFF;
        rig.view->mouseSendGundata(1, {3, 2, 10});
        rig.view->mouseSendGundata(3, {0, 1});
        for (int bad : {0, 4, -1})
            rig.view->mouseSendGundata(bad, {1, 1, 1});
        QCOMPARE(rig.opcodes(), (QList<int>{0x0C, 0x0C}));
        QCOMPARE(rig.image(2).mid(78, 4), bytes({0xF0, 3, 2, 10}));
        QCOMPARE(int(uchar(rig.image(2).at(65))), 0xFB);
        QCOMPARE(rig.image(4).mid(78, 4), bytes({0xF0, 0, 1, 0}));
    }
    {
        Rig rig("553", true, true);
        rig.view->mouseSendGundata(1, {0, 4, 10});
        rig.view->mouseSetKeyboardoption(0, 0, 1, 0); // mirrored Y
        rig.view->mouseSendGundata(3, {5, 4, 10});
        QCOMPARE(rig.opcodes(), (QList<int>{0x83, 0x04, 0x03, 0x83, 0x04}));
        QCOMPARE(hex(rig.state()["gunData"].toObject()["0"]), bytes({0, 4, 10}));
        QCOMPARE(hex(rig.state()["gunData"].toObject()["2"]), bytes({5, 4, 0xF6}));
    }
    Rig rig("560", true, false); // no gun slots on this mouse
    rig.view->mouseSendGundata(1, {1, 2, 3});
    QVERIFY(rig.opcodes().isEmpty());
}

// The profile images go out and come back whole; there are five.
void TestControllerDevice::profileImages() {
    Rig rig("560", true, true);
    for (int i = 0; i < 128; ++i)
        rig.view->profileImage(1)[i] = uchar(i * 3);
    const QByteArray image(reinterpret_cast<const char *>(rig.view->profileImage(1)), 128);
    rig.view->mouseSetProfile(1);
    QCOMPARE(rig.image(1), image);
    std::fill_n(rig.view->profileImage(1), 128, 0);
    rig.view->mouseReadProfile(1);
    rig.view->mouseSetProfile(5);
    rig.view->mouseReadProfile(uint(-1));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(rig.view->profileImage(1)), 128), image);
    QCOMPARE(rig.opcodes().size(), 2);
}

// Before a mouse is found every call is harmless and reads as nothing.
void TestControllerDevice::withoutHidNothingHappens() {
    Rig rig("560", true, true);
    myQQuickView lone;
    lone.clearHidBusy();
    lone.mouseSetKeyMatrix(defaultSrc64(), true, {1, 2, 3});
    lone.mouseResetKeyMatrix();
    lone.mouseSetDpi(3, "4090", {800});
    lone.mouseSetRGBEffect(1, 1, 1);
    lone.mouseSetRGBColor(0, {1, 2, 3});
    lone.mouseSetProfile(1);
    lone.mouseReadProfile(1);
    lone.mouseSendGundata(1, {1, 2, 3});
    QCOMPARE(lone.mouseSendMacroData({1, 2}, 0), QVariant(true));
    QCOMPARE(lone.mouseGetCurrentDPI(), QVariant(0));
    QCOMPARE(lone.mouseReadCurrentProfile(), QVariant(0));
    QVERIFY(rig.opcodes().isEmpty());
}

QTEST_MAIN(TestControllerDevice)
#include "tst_controller_device.moc"
