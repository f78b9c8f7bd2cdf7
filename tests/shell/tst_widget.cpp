#include "devicechange.h"
#include "hid_thread.h"
#include "input_callbacks.h"
#include "myqquickview.h"
#include "ui_controler.h"
#include "virtual_mouse.h"
#include "widget.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QMenu>
#include <QMessageBox>
#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Every line of the shell's category and of plain qDebug, in order.
QStringList g_log;
QtMessageHandler g_previous = nullptr;

void captureMessages(QtMsgType type, const QMessageLogContext &context, const QString &text) {
    const QString category = QString::fromLatin1(context.category ? context.category : "");
    if (category == QLatin1String("skarn.shell") || category == QLatin1String("default"))
        g_log << text;
    if (g_previous && type != QtDebugMsg)
        g_previous(type, context, text);
}

// A scene that records every call the native side makes into it.
const char *const kTraceScene = R"(import QtQuick
Rectangle {
    width: 1024; height: 640
    property string trace: ""
    function initUI() { trace += "initUI;" }
    function run() { trace += "run;" }
    function setProtectUI(interval) { trace += "protect " + interval + ";" }
    function setCurrentDPI(v) { trace += "dpi " + v + ";" }
    function detectKeyboard(isDown, usbCode) { trace += "key " + isDown + " " + usbCode + ";" }
    function detectMouse(isDown, b, x, y) { trace += "mouse " + isDown + " " + b + " " + x + " " + y + ";" }
}
)";

const uint8_t kCode[8] = {0, 'T', 'w', '7', '0', 'S', 'k', 0};

// Profile numbers of the 0x8C reads the mouse received, in order.
QList<int> profileReadsOnWire() {
    QList<int> reads;
    const QJsonArray log = VirtualMouse::instance().wireLog();
    for (const QJsonValue &v : log) {
        const QJsonObject r = v.toObject();
        if (r.value("op").toString() != QLatin1String("set_feature") ||
            r.value("iface").toString() != QLatin1String("command"))
            continue;
        const QByteArray bytes =
            QByteArray::fromHex(r.value("data").toString().remove(' ').toLatin1());
        if (bytes.size() < 9)
            continue;
        uint8_t block[8];
        memcpy(block, bytes.constData() + 1, 8);
        VirtualMouse::unscramble(block, kCode);
        if (block[0] == 0x8C)
            reads << block[1];
    }
    return reads;
}

} // namespace

class TestWidget : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void trayIcon();
    void windowAndScene();
    void connectSequence_data();
    void connectSequence();
    void connectKeepsHiddenWindowHidden();
    void disconnectSequence_data();
    void disconnectSequence();
    void notificationBurstGivesOneCheck();
    void notificationsIgnoredWhileReaderRuns();
    void restoreOnlyWhileConnected_data();
    void restoreOnlyWhileConnected();
    void windowMoves();
    void busyIsDirect();
    void inputReachesSceneQueued();
    void userEventRunsUI();
    void readerEventsReachSceneAndTray();
    void unplugThenPlugReconnects();
    void copyDataShowsPlainText_data();
    void copyDataShowsPlainText();
    void exitEndsLoopWithZero();
    void warningBoxDoesNotEndProgram();

private:
    // Copies the shipped settings into a fresh folder, applies overrides to
    // its global settings and makes it the working directory.
    void prepareFolder(const QString &icType, bool isGun);
    // Builds the widget on the trace scene.
    void makeWidget();
    QString trace() const { return root()->property("trace").toString(); }
    QQuickItem *root() const { return widget->view()->rootObject(); }
    bool connectDevice();

    QString dataFolder;
    QString originalFolder;
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<Widget> widget;
};

void TestWidget::initTestCase() {
    dataFolder = QCoreApplication::applicationDirPath() + QStringLiteral("/modules");
    originalFolder = QDir::currentPath();
    QVERIFY2(QFile::exists(dataFolder + "/setting/apConfig.bin"), "shipped settings missing");
    QLoggingCategory::setFilterRules(QStringLiteral("skarn.shell.debug=true"));
    g_previous = qInstallMessageHandler(captureMessages);
    // Transport pauses run on the simulated mouse's clock.
    VirtualMouse::instance().useVirtualClock(true);
    Hid_Thread::setSleeper([](int ms) { VirtualMouse::virtualSleep(ms); });
}

void TestWidget::init() {
    Widget::deviceConnected = false;
    VirtualMouse::instance().reset();
    VirtualMouse::instance().useVirtualClock(true);
    g_log.clear();
}

void TestWidget::cleanup() {
    widget.reset();
    VirtualMouse::instance().setPlugListener(nullptr);
    QDir::setCurrent(originalFolder);
    folder.reset();
}

void TestWidget::prepareFolder(const QString &icType, bool isGun) {
    folder = std::make_unique<QTemporaryDir>();
    QVERIFY(folder->isValid());
    const QString settings = folder->path() + "/modules/setting";
    QVERIFY(QDir().mkpath(settings));
    QVERIFY(QDir().mkpath(folder->path() + "/modules/img"));
    const QStringList files = QDir(dataFolder + "/setting").entryList(QDir::Files);
    for (const QString &f : files)
        QVERIFY(QFile::copy(dataFolder + "/setting/" + f, settings + "/" + f));
    QFile::copy(dataFolder + "/img/logo.ico", folder->path() + "/modules/img/logo.ico");
    {
        QSettings global(settings + "/apConfig.bin", QSettings::IniFormat);
        global.setValue("mouse/icType", icType);
        global.setValue("mouse/isGun", isGun);
    }
    QFile scene(folder->path() + "/trace.qml");
    QVERIFY(scene.open(QIODevice::WriteOnly));
    scene.write(kTraceScene);
    scene.close();
    QVERIFY(QDir::setCurrent(folder->path()));
}

void TestWidget::makeWidget() {
    widget = std::make_unique<Widget>();
    widget->view()->setSource(QUrl::fromLocalFile(folder->path() + "/trace.qml"));
    QVERIFY2(widget->view()->status() == QQuickWidget::Ready,
             qPrintable(widget->view()->errors().isEmpty()
                            ? QString()
                            : widget->view()->errors().first().toString()));
}

bool TestWidget::connectDevice() {
    widget->checkDevice();
    return QTest::qWaitFor([this] { return trace().contains("run;"); }, 5000);
}

void TestWidget::trayIcon() {
    prepareFolder("553", false);
    makeWidget();
    QSystemTrayIcon *tray = widget->trayIcon();
    QVERIFY(tray);
    QCOMPARE(tray->toolTip(), QStringLiteral("TARNWELL SKARN MOUSE SK-70"));
    QVERIFY2(!tray->icon().isNull(), "icon from ./modules/img/logo.ico");

    QMenu *menu = qobject_cast<QMenu *>(tray->contextMenu());
    QVERIFY(menu);
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(menu->actions().first()->text(), QStringLiteral("Quit (&Q)"));
    const QString style = menu->styleSheet();
    QCOMPARE(style.size(), 504);
    QCOMPARE(style,
             QStringLiteral(
                 "QMenu { border: 1px solid rgb(100, 100, 100); background: rgb(68, 69, 73); } "
                 "QMenu::item { height: 22px; padding: 0px 25px 0px 20px; } QMenu::item:enabled { "
                 "color: rgb(225, 225, 225); } QMenu::item:!enabled { color: rgb(155, 155, 155); } "
                 "QMenu::item:enabled:selected { color: rgb(230, 230, 230); background: rgba(255, "
                 "255, 255, 40); } QMenu::separator { height: 1px; background: rgb(100, 100, 100); "
                 "} QMenu::indicator { width: 13px; height: 13px; } QMenu::icon { padding-left: "
                 "2px; padding-right: 2px; } "));

    // Quit is wired to exitSYS: the loop ends with 0.
    QTimer::singleShot(0, menu->actions().first(), &QAction::trigger);
    QCOMPARE(QCoreApplication::exec(), 0);

    // A missing icon file leaves an empty icon, nothing more.
    widget.reset();
    QVERIFY(QFile::remove("modules/img/logo.ico"));
    widget = std::make_unique<Widget>();
    QVERIFY(widget->trayIcon()->icon().isNull());
    QCOMPARE(widget->trayIcon()->toolTip(), QStringLiteral("TARNWELL SKARN MOUSE SK-70"));
}

void TestWidget::windowAndScene() {
    prepareFolder("553", false);
    widget = std::make_unique<Widget>();
    Widget &w = *widget;
    myQQuickView *view = w.view();
    QVERIFY(view);

    QCOMPARE(w.objectName(), QStringLiteral("Widget"));
    QCOMPARE(int(w.windowFlags()), 0x2000801);
    QVERIFY(w.testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(w.styleSheet(), QStringLiteral("background:transparent;"));
    QCOMPARE(w.windowOpacity(), 1.0);
    QCOMPARE(w.windowTitle(), QStringLiteral("SKARN SK-70"));

    QCOMPARE(view->objectName(), QStringLiteral("ui_View"));
    QCOMPARE(view->parentWidget(), &w);
    QCOMPARE(view->hid(), &w.hidThread());
    QCOMPARE(view->source(), QUrl(QStringLiteral("qrc:modules/qml/main.qml")));
    QVERIFY2(view->status() == QQuickWidget::Ready, "the shipped scene loads from the resources");
    QCOMPARE(w.size(), QSize(1024, 640));

    QQmlContext *context = view->rootContext();
    QCOMPARE(context->contextProperty("ui_View").value<QObject *>(), view);
    QCOMPARE(context->contextProperty("hid").value<QObject *>(), &w.hidThread());
    QCOMPARE(context->contextProperty("ui_Ctl").value<QObject *>(), w.controller());

    // The check timer: single-shot, 2048 ms, and not running before any
    // notification.
    QVERIFY(w.checkTimer().isSingleShot());
    QCOMPARE(w.checkTimer().interval(), 2048);
    QVERIFY(!w.checkTimer().isActive());

    // A settings file without a name gives an empty title.
    widget.reset();
    {
        QSettings global("modules/setting/apConfig.bin", QSettings::IniFormat);
        global.remove("common/name");
    }
    widget = std::make_unique<Widget>();
    QCOMPARE(widget->windowTitle(), QString());
}

void TestWidget::connectSequence_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<bool>("isGun");
    QTest::addColumn<QList<int>>("reads");

    QTest::newRow("553") << "553" << true << QList<int>{};
    QTest::newRow("560") << "560" << false << QList<int>{0, 1};
    QTest::newRow("560 gun") << "560" << true << QList<int>{0, 1, 2, 3, 4};
}

void TestWidget::connectSequence() {
    QFETCH(QString, family);
    QFETCH(bool, isGun);
    QFETCH(QList<int>, reads);

    prepareFolder(family, isGun);
    VirtualMouse::instance().attach(QJsonObject{{"family", family}, {"isGun", isGun}});
    makeWidget();
    widget->show();
    widget->view()->setEnabled(false);
    VirtualMouse::instance().clearWireLog();
    g_log.clear();

    QVERIFY2(connectDevice(), qPrintable(g_log.join('\n') + "\ntrace: " + trace()));
    QCOMPARE(trace(), QStringLiteral("initUI;run;"));

    // "Device Connect" goes both to the plain debug output and to the category.
    QStringList expected{"Device Connect", "Device Connect", "balloon Info | Detect Device",
                         "start reader 0"};
    for (int n : reads)
        expected << QStringLiteral("read profile %1").arg(n);
    expected << "initUI"
             << "runUI";
    QStringList seen;
    for (const QString &line : std::as_const(g_log))
        if (expected.contains(line))
            seen << line;
    QCOMPARE(seen, expected);

    QCOMPARE(profileReadsOnWire(), reads);
    QVERIFY(Widget::deviceConnected);
    QVERIFY(widget->hidThread().readerRunning);
    QVERIFY(widget->view()->isEnabled());
    QVERIFY(widget->isVisible());
    QVERIFY(VirtualMouse::instance().violations().isEmpty());
}

void TestWidget::connectKeepsHiddenWindowHidden() {
    prepareFolder("553", false);
    VirtualMouse::instance().attach(QJsonObject{});
    makeWidget();
    widget->hide();
    QVERIFY(connectDevice());
    QVERIFY(Widget::deviceConnected);
    QVERIFY(!widget->isVisible());
}

void TestWidget::disconnectSequence_data() {
    QTest::addColumn<QString>("situation");
    QTest::newRow("no device") << "none";
    QTest::newRow("silent device") << "silent";
    QTest::newRow("wrong code") << "code";
    QTest::newRow("empty device list") << "list";
}

void TestWidget::disconnectSequence() {
    QFETCH(QString, situation);
    prepareFolder("553", false);
    if (situation == "silent") {
        VirtualMouse::instance().attach(QJsonObject{});
        VirtualMouse::instance().setSilent(true);
    } else if (situation == "code") {
        VirtualMouse::instance().attach(QJsonObject{{"sCode", "Zz99Qq"}});
    } else if (situation == "list") {
        VirtualMouse::instance().attach(QJsonObject{});
        QSettings global("modules/setting/apConfig.bin", QSettings::IniFormat);
        global.setValue("common/deviceCount", 0);
    }
    makeWidget();
    Widget::deviceConnected = true;
    widget->show();
    QVERIFY(widget->isVisible());
    g_log.clear();

    widget->checkDevice();
    QCOMPARE(g_log.count("Device DisConnect"), 2);
    QCOMPARE(g_log.count("Device Connect"), 0);
    QVERIFY(!Widget::deviceConnected);
    QVERIFY(!widget->isVisible());
    QVERIFY(!widget->hidThread().readerRunning);
    QTest::qWait(50);
    QCOMPARE(trace(), QString());
}

void TestWidget::notificationBurstGivesOneCheck() {
    prepareFolder("553", false);
    makeWidget();
    QTimer &timer = widget->checkTimer();
    timer.setInterval(300);
    QSignalSpy checks(&timer, &QTimer::timeout);

    QElapsedTimer sinceLast;
    for (int i = 0; i < 6; ++i) {
        widget->deviceChanged();
        sinceLast.start();
        QTest::qWait(100); // shorter than the interval: each one restarts it
    }
    QCOMPARE(checks.count(), 0);
    QVERIFY(checks.wait(2000));
    // Coarse timers may fire up to 5% early.
    QVERIFY2(sinceLast.elapsed() >= 280, "the check follows the last notification");
    QTest::qWait(500);
    QCOMPARE(checks.count(), 1);
    QCOMPARE(g_log.count("Device DisConnect"), 2); // the check really ran
}

void TestWidget::notificationsIgnoredWhileReaderRuns() {
    prepareFolder("553", false);
    VirtualMouse::instance().attach(QJsonObject{});
    makeWidget();
    QVERIFY(connectDevice());
    QVERIFY(widget->hidThread().readerRunning);

    widget->deviceChanged();
    QVERIFY(!widget->checkTimer().isActive());

    // Once the reader has stopped, notifications count again.
    widget->hidThread().readerRunning = false;
    widget->deviceChanged();
    QVERIFY(widget->checkTimer().isActive());
    widget->checkTimer().stop();
}

void TestWidget::restoreOnlyWhileConnected_data() {
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QString>("request");
    QTest::addColumn<bool>("shown");

    QTest::newRow("double click, connected") << true << "DoubleClick" << true;
    QTest::newRow("double click, no device") << false << "DoubleClick" << false;
    QTest::newRow("single click, connected") << true << "Trigger" << false;
    QTest::newRow("context click, connected") << true << "Context" << false;
    QTest::newRow("middle click, connected") << true << "MiddleClick" << false;
    QTest::newRow("second start, connected") << true << "message" << true;
    QTest::newRow("second start, no device") << false << "message" << false;
}

void TestWidget::restoreOnlyWhileConnected() {
    QFETCH(bool, connected);
    QFETCH(QString, request);
    QFETCH(bool, shown);

    prepareFolder("553", false);
    makeWidget();
    widget->hide();
    Widget::deviceConnected = connected;
    if (request == "message") {
        widget->receiveMessage(QString());
    } else {
        const QMap<QString, QSystemTrayIcon::ActivationReason> reasons{
            {"DoubleClick", QSystemTrayIcon::DoubleClick},
            {"Trigger", QSystemTrayIcon::Trigger},
            {"Context", QSystemTrayIcon::Context},
            {"MiddleClick", QSystemTrayIcon::MiddleClick}};
        emit widget->trayIcon()->activated(reasons.value(request));
    }
    QCoreApplication::processEvents();
    QCOMPARE(widget->isVisible(), shown);
    if (shown)
        QVERIFY(!widget->isMinimized());
}

void TestWidget::windowMoves() {
    prepareFolder("553", false);
    makeWidget();
    widget->move(100, 200);
    Ui_Controler *ctl = widget->controller();
    ctl->onXChanged(5);
    ctl->onXChanged(5);
    QCOMPARE(widget->pos(), QPoint(110, 200));
    ctl->onYChanged(-3);
    QCOMPARE(widget->pos(), QPoint(110, 197));
    ctl->onXChanged(-20);
    ctl->onYChanged(0);
    QCOMPARE(widget->pos(), QPoint(90, 197));

    widget->show();
    ctl->onMinimize();
    QVERIFY(widget->isMinimized());
    ctl->onClose();
    QVERIFY(!widget->isVisible());
}

void TestWidget::busyIsDirect() {
    prepareFolder("553", false);
    makeWidget();
    widget->controller()->setBusy(250);
    QCOMPARE(trace(), QStringLiteral("protect 250;")); // no event processing in between
    widget->controller()->setBusy();
    QCOMPARE(trace(), QStringLiteral("protect 250;protect 0;"));
}

void TestWidget::inputReachesSceneQueued() {
    prepareFolder("553", false);
    makeWidget();
    InputCallbacks::keyboard(0x04, true, widget.get());
    InputCallbacks::mouse(0xF1, false, 10, -20, widget.get());
    QCOMPARE(trace(), QString()); // queued: nothing runs inside the hook
    QTRY_COMPARE(trace(), QStringLiteral("key true 4;mouse false 241 10 -20;"));
}

void TestWidget::userEventRunsUI() {
    prepareFolder("553", false);
    makeWidget();
    QCoreApplication::postEvent(widget.get(), new UserEvent(2176));
    QCoreApplication::postEvent(widget.get(), new QEvent(QEvent::User));
    QCoreApplication::postEvent(widget.get(), new QEvent(QEvent::Type(QEvent::User + 1)));
    QTest::qWait(50);
    QCOMPARE(trace(), QString());
    QCoreApplication::postEvent(widget.get(), new UserEvent(2177));
    QTRY_COMPARE(trace(), QStringLiteral("run;"));
}

void TestWidget::readerEventsReachSceneAndTray() {
    prepareFolder("553", false);
    VirtualMouse::instance().attach(QJsonObject{});
    makeWidget();
    QVERIFY(connectDevice());
    g_log.clear();

    VirtualMouse::instance().emitDpiStage(3);
    QTRY_VERIFY_WITH_TIMEOUT(trace().contains("dpi 3;"), 5000);
    bool balloon = false;
    for (const QString &line : std::as_const(g_log))
        balloon |= line.startsWith("balloon Info | ");
    QVERIFY2(balloon, "the DPI change is shown as a balloon");
}

void TestWidget::unplugThenPlugReconnects() {
    prepareFolder("553", false);
    VirtualMouse::instance().attach(QJsonObject{});
    makeWidget();
    const std::unique_ptr<QObject> changes = startDeviceChangeNotifications(widget.get());
    widget->checkTimer().setInterval(100);
    QVERIFY(connectDevice());
    QVERIFY(widget->view()->isEnabled());

    VirtualMouse::instance().unplug();
    // The reader notices, disables the view and stops; the notification that
    // came with the unplug was ignored while it still ran, or finds nothing.
    QTRY_VERIFY_WITH_TIMEOUT(!widget->view()->isEnabled(), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!widget->hidThread().readerRunning, 5000);
    QTest::qWait(300);
    g_log.clear();
    root()->setProperty("trace", QString());

    VirtualMouse::instance().plug();
    QTRY_VERIFY_WITH_TIMEOUT(trace().contains("run;"), 5000);
    QCOMPARE(g_log.count("Device Connect"), 2);
    QVERIFY(widget->view()->isEnabled());
    QVERIFY(widget->hidThread().readerRunning);
    QVERIFY(Widget::deviceConnected);
}

void TestWidget::copyDataShowsPlainText_data() {
    QTest::addColumn<qulonglong>("dwData");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("shown");
    QTest::newRow("markup") << 9487ull << QByteArray("<b>bold</b> & <i>x</i>") << true;
    QTest::newRow("chinese") << 9487ull << QStringLiteral("鼠标").toUtf8() << true;
    QTest::newRow("other id") << 1ull << QByteArray("hello") << false;
}

void TestWidget::copyDataShowsPlainText() {
    QFETCH(qulonglong, dwData);
    QFETCH(QByteArray, text);
    QFETCH(bool, shown);

    prepareFolder("553", false);
    makeWidget();
    widget->setWindowTitle(QStringLiteral("SK-70 title"));

    struct Seen {
        bool box = false;
        QString title, text;
        Qt::TextFormat format = Qt::AutoText;
        QMessageBox::StandardButtons buttons;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QWidget *parent = nullptr;
    } seen;
    QTimer probe;
    probe.setInterval(20);
    connect(&probe, &QTimer::timeout, this, [&seen] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen = {
            true,        box->windowTitle(), box->text(), box->textFormat(), box->standardButtons(),
            box->icon(), box->parentWidget()};
        box->accept();
    });
    probe.start();
    InputCallbacks::copyData(static_cast<unsigned long>(dwData), text.constData(),
                             static_cast<unsigned int>(text.size()), widget.get());
    probe.stop();

    QCOMPARE(seen.box, shown);
    if (!shown)
        return;
    QCOMPARE(seen.title, QStringLiteral("SK-70 title"));
    QCOMPARE(seen.text, QString::fromUtf8(text));
    QCOMPARE(seen.format, Qt::PlainText);
    QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(seen.icon, QMessageBox::Warning);
    QCOMPARE(seen.parent, nullptr);
}

void TestWidget::exitEndsLoopWithZero() {
    prepareFolder("553", false);
    makeWidget();
    widget->hidThread().readerRunning = true;
    QTimer::singleShot(0, widget.get(), &Widget::exitSYS);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!widget->hidThread().readerRunning);
}

void TestWidget::warningBoxDoesNotEndProgram() {
    prepareFolder("553", false);
    makeWidget();
    widget->hide(); // living in the tray
    QTimer closer;
    closer.setInterval(20);
    connect(&closer, &QTimer::timeout, this, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->accept();
    });
    closer.start();
    QTimer::singleShot(0, this, [this] {
        const QByteArray text("hello");
        InputCallbacks::copyData(9487, text.constData(), 5, widget.get());
        QTimer::singleShot(200, [] { QCoreApplication::exit(7); });
    });
    // Only the explicit exit ends the loop, not the closed box.
    QCOMPARE(QCoreApplication::exec(), 7);
}

QTEST_MAIN(TestWidget)
#include "tst_widget.moc"
