#include "../device/device_test_support.h"
#include "controller_test_support.h"

#include "hid_thread.h"
#include "myqquickview.h"
#include "virtual_mouse.h"

#include <QQuickWindow>
#include <QtTest>

using namespace ctrltest;
using Action = std::function<void(myQQuickView &)>;
Q_DECLARE_METATYPE(Action)

namespace {

enum Flags { Single = 0, Colour = 1, Gun = 2, Is55328 = 4 };

QByteArray hex(const QJsonValue &v) {
    return QByteArray::fromHex(v.toString().toLatin1());
}

// Settings for one mouse, its virtual mouse (virtual clock) and a view.
struct Rig {
    Sandbox box;
    Hid_Thread hid;
    std::unique_ptr<myQQuickView> view;

    Rig(const QString &family, int flags)
        : box(family, flags & Colour, flags & Gun, flags & Is55328) {
        devtest::freshMouse();
        QJsonObject config = devtest::deviceJson(family, 32, false);
        config["isGun"] = bool(flags & Gun);
        const int dev = VirtualMouse::instance().attach(config);
        hid.setDeviceList({devtest::entryFor(dev, config)});
        hid.setDeviceFlags(family, flags & Gun);
        hid.currentIndex = dev;
        view = std::make_unique<myQQuickView>();
        view->setHid(&hid);
        view->clearHidBusy();
        VirtualMouse::instance().clearWireLog();
    }
    // What the mouse keeps under "key", "key/number" or "key/number@offset".
    QByteArray kept(const QString &where) const {
        const QStringList path = where.section('@', 0, 0).split('/');
        QJsonValue v = VirtualMouse::instance().state()[path[0]];
        if (path.size() > 1)
            v = v.toObject()[path[1]];
        const QByteArray b = v.isDouble() ? QByteArray(1, char(v.toInt())) : hex(v);
        return b.mid(where.section('@', 1).toInt());
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

QVariantList buttons(int gunSlots = 0) {
    QVariantList src = {0, 0, 0xF0, 0, 0, 0, 0xF1, 0, 0, 0, 0xF2, 0, 0, 0,    0xF4, 0,
                        0, 0, 0xF3, 0, 5, 0, 1,    0, 5, 0, 2,    0, 0, 0xF0, 0x1E, 3};
    for (int i = 8; i < 16; ++i)
        src << 0 << 0 << 0 << 0;
    if (gunSlots)
        src[16] = 8, src[18] = gunSlots; // button 4 switches guns
    return src;
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
    void settingReachesTheMouse_data();
    void settingReachesTheMouse();
    void readsFromTheMouse();
};

void TestControllerDevice::settingReachesTheMouse_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("flags");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QList<int>>("opcodes");
    QTest::addColumn<QStringList>("kept"); // "where=hex bytes", see Rig::kept

    const Action keys = [](myQQuickView &v) {
        v.mouseSetKeyMatrix(buttons(), false, {}); // stored only
        v.mouseSetKeyMatrix(buttons(), true, {});
    };
    auto gunSwitch = [](int n) -> Action {
        return [n](myQQuickView &v) { v.mouseSetKeyMatrix(buttons(n), true, {90, 80}); };
    };
    const Action dpi = [](myQQuickView &v) { v.mouseSetDpi(3, "3389", {800, 12800, 16000}); };
    auto light = [](int effect, int speed, int brightness, int colours) -> Action {
        return [=](myQQuickView &v) {
            v.mouseSetRGBEffect(effect, speed, brightness);
            QVariantList c;
            for (int i = 0; i < colours; ++i)
                c << 10 + i;
            v.mouseSetRGBColor(1, c);
        };
    };
    const Action macros = [](myQQuickView &v) {
        QVariantList data = {0, 1, 5, 4, 0x81, 4, 0, 0};
        for (int i = 8; i < 128; ++i)
            data << 0x100 + i; // only the low 8 bits go out
        QVERIFY(v.mouseSendMacroData(data, 11).toBool());
        QVERIFY(v.mouseSendMacroData(data.mid(0, 8), 256).toBool());        // slot 0
        QVERIFY(v.mouseSendMacroData(data, 12).toBool());                   // none: not sent
        QVERIFY(!v.mouseSendMacroData(data + QVariantList{0}, 0).toBool()); // too long
    };
    const Action gun560 = [](myQQuickView &v) {
        v.profileImage(2)[65] = 0xFF;
        v.mouseSendGundata(1, {3, 2, 10});
        v.mouseSendGundata(3, {0, 1});
        for (int bad : {0, 4, -1})
            v.mouseSendGundata(bad, {1, 1, 1});
    };
    const Action gun553 = [](myQQuickView &v) {
        v.mouseSendGundata(1, {0, 4, 10});
        v.mouseSetKeyboardoption(0, 0, 1, 0); // the mouse mirrors Y
        v.mouseSendGundata(3, {5, 4, 10});
    };
    const Action layers = [](myQQuickView &v) {
        v.mouseResetKeyMatrix();
        v.mouseSwitchKeyMatrix(3);
    };
    // Before a mouse is found every call is harmless and reads as nothing.
    const Action noMouse = [](myQQuickView &) {
        myQQuickView lone;
        lone.mouseSetKeyMatrix(buttons(2), true, {1, 2, 3});
        lone.mouseSetDpi(3, "4090", {800});
        lone.mouseSetRGBEffect(1, 1, 1);
        lone.mouseSetProfile(1);
        lone.mouseSendGundata(1, {1, 2, 3});
        QVERIFY(lone.mouseSendMacroData({1, 2}, 0).toBool() && lone.mouseGetCurrentDPI() == 0 &&
                lone.mouseReadCurrentProfile() == 0);
    };
    const QString colours = "0a0b0c0d0e0f101112131415161718191a1b1c1d1e1f2021";
    const QString codes = "1000400000000000";
    using L = QList<int>;
    using S = QStringList;
    // clang-format off
    QTest::newRow("553 buttons") << "553" << int(Gun) << keys << L{0x12}
        << S{"keyMatrix/1@16=0100f300", "keyMatrix/1@20=0af01e03"}; // button 7 at 5
    QTest::newRow("560 buttons") << "560" << int(Gun) << keys << L{0x0D}
        << S{"keyMatrix/1@16=0100f300"};
    QTest::newRow("553 gun switch") << "553" << int(Gun) << gunSwitch(2)
        << L{0x12, 0x12, 0x12, 0x12, 0x02}
        << S{"keyMatrix/1@16=08000101", "keyMatrix/3@16=08000100", "keyMatrix/3@0=0b015000",
             "keyMatrix/2@36=01000900", "keyMatrix/4@0=0b020000", "currentKeyMatrix=01"};
    QTest::newRow("560 gun switch") << "560" << int(Gun) << gunSwitch(3)
        << L{0x0C, 0x0D, 0x0D, 0x0D, 0x0D, 0x02}
        << S{"keyMatrix/3@16=08000300", "keyMatrix/4@16=08000000", "profiles/0@2=1f",
             "currentProfile=01"};
    QTest::newRow("553 layer reset, switch") << "553" << int(Gun) << layers
        << L{0x12, 0x12, 0x12, 0x02} << S{"keyMatrix/4@12=01000300", "currentKeyMatrix=02"};
    QTest::newRow("553 DPI") << "553" << int(Colour) << dpi << L{0x11}
        << S{"dpiStages=03", "dpiCodes=1000408080808080"};
    QTest::newRow("560 DPI") << "560" << int(Colour) << dpi << L{0x0C}
        << S{"profiles/1@82=0606" + codes + codes + "07"};
    QTest::newRow("560 gun DPI") << "560" << int(Gun) << dpi << L(4, 0x0C)
        << S{"profiles/4@82=0606" + codes + codes + "07"};
    QTest::newRow("553 colour light") << "553" << int(Colour) << light(5, 1, 4, 24)
        << L{0x0D, 0x10, 0x10} << S{"ledEffect=05ff07", "ledColors=" + colours};
    QTest::newRow("553 single light") << "553" << int(Single) << light(4, 1, 0, 24)
        << L{0x0D, 0x10, 0x10} << S{"ledEffect=020202", "ledColorType=01"};
    QTest::newRow("553 single 55328 light") << "553" << int(Is55328) << light(4, 1, 0, 24)
        << L{0x0D, 0x10} << S{"ledEffect=020203"};
    QTest::newRow("553 colour 55328, colour 8 off") << "553" << Colour + Is55328
        << light(0, 2, 3, 21) << L{0x0D, 0x0C} << S{"ledEffect=01c000", "fixColor=0a0b0c"};
    QTest::newRow("560 colour light") << "560" << int(Colour) << light(8, 3, 2, 2)
        << L{0x0C, 0x0C} << S{"profiles/1@71=08800d", "profiles/0@24=0a0b0000"};
    QTest::newRow("560 single light") << "560" << int(Single) << light(2, 1, 0, 24)
        << L{0x0C, 0x0C} << S{"profiles/1@71=031803", "profiles/1@104=" + colours};
    QTest::newRow("560 single gun light") << "560" << int(Gun) << light(0, 0, 4, 24)
        << L(5, 0x0C) << S{"profiles/1@71=010a02", "profiles/4@71=010a02"};
    for (const char *family : {"553", "560"})
        QTest::addRow("%s macros", family) << family << int(Colour) << macros
            << L(2, family[1] == '5' ? 0x13 : 0x0F)
            << S{"macros/12=0001050481040000", "macros/12@120=78797a7b7c7d7e7f",
                 "macros/1=000105048104000000"};
    QTest::newRow("560 gun slots") << "560" << int(Gun) << gun560 << L{0x0C, 0x0C}
        << S{"profiles/2@65=fb", "profiles/2@78=f003020a", "profiles/4@78=f0000100"};
    QTest::newRow("553 gun slots, Y mirrored") << "553" << int(Gun) << gun553
        << L{0x83, 0x04, 0x03, 0x83, 0x04} << S{"gunData/0=00040a", "gunData/2=0504f6"};
    QTest::newRow("no gun slots") << "560" << int(Colour) << gun560 << L{} << S{};
    QTest::newRow("no mouse yet") << "560" << int(Gun) << noMouse << L{} << S{};
    // clang-format on
}

void TestControllerDevice::settingReachesTheMouse() {
    QFETCH(QString, family);
    QFETCH(int, flags);
    QFETCH(Action, action);
    QFETCH(QList<int>, opcodes);
    QFETCH(QStringList, kept);
    Rig rig(family, flags);
    action(*rig.view);
    QCOMPARE(rig.opcodes(), opcodes);
    for (const QString &k : kept) {
        const QByteArray want = QByteArray::fromHex(k.section('=', 1).toLatin1());
        QVERIFY2(rig.kept(k.section('=', 0, 0)).left(want.size()) == want, qPrintable(k));
    }
}

// Images, DPI stage and report rate come back as sent; silence reads as 0.
void TestControllerDevice::readsFromTheMouse() {
    for (const char *family : {"553", "560"}) {
        Rig rig(family, Gun);
        rig.view->mouseSetReportRate(4);
        rig.view->mouseSetCurrentDPI(3);
        QCOMPARE(rig.kept("reportRate"), QByteArray(1, 4));
        QCOMPARE(rig.view->mouseGetCurrentDPI(), QVariant(3));
        VirtualMouse::instance().setSilent(true);
        QCOMPARE(rig.view->mouseGetCurrentDPI(), QVariant(0));
    }
    Rig rig("560", Gun);
    for (int i = 0; i < 128; ++i)
        rig.view->profileImage(1)[i] = uchar(i * 3);
    const QByteArray image(reinterpret_cast<const char *>(rig.view->profileImage(1)), 128);
    rig.view->mouseSetProfile(1);
    QCOMPARE(rig.kept("profiles/1"), image);
    std::fill_n(rig.view->profileImage(1), 128, 0);
    rig.view->mouseReadProfile(1);
    rig.view->mouseSetProfile(5); // there are five images
    rig.view->mouseReadProfile(uint(-1));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(rig.view->profileImage(1)), 128), image);
    QCOMPARE(rig.opcodes().size(), 2);
}

QTEST_MAIN(TestControllerDevice)
#include "tst_controller_device.moc"
