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
#include <QFileInfo>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QQuickItem>
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

// Profile numbers of the 0x8C reads the mouse received, in order.
QList<int> profileReadsOnWire() {
    QList<int> reads;
    const uint8_t code[8] = {0, 'T', 'w', '7', '0', 'S', 'k', 0};
    for (const QJsonValue &v : VirtualMouse::instance().wireLog()) {
        QByteArray report = QByteArray::fromHex(v["data"].toString().toLatin1());
        if (v["op"] != "set_feature" || v["iface"] != "command" || report.size() < 9)
            continue;
        VirtualMouse::unscramble(reinterpret_cast<uint8_t *>(report.data()) + 1, code);
        if (uint8_t(report[1]) == 0x8C)
            reads << report[2];
    }
    return reads;
}

} // namespace

class TestWidget : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        dataFolder = QCoreApplication::applicationDirPath() + QStringLiteral("/modules");
        originalFolder = QDir::currentPath();
        QLoggingCategory::setFilterRules(QStringLiteral("skarn.shell.debug=true"));
        g_previous = qInstallMessageHandler(captureMessages);
        // Transport pauses run on the simulated mouse's clock.
        VirtualMouse::instance().useVirtualClock(true);
        Hid_Thread::setSleeper([](int ms) { VirtualMouse::virtualSleep(ms); });
    }
    void init() {
        Widget::deviceConnected = false;
        VirtualMouse::instance().reset();
        VirtualMouse::instance().useVirtualClock(true);
        g_log.clear();
    }
    void cleanup() {
        widget.reset();
        VirtualMouse::instance().setPlugListener(nullptr);
        QDir::setCurrent(originalFolder);
        folder.reset();
    }

    // The tray's Quit ends the loop with 0 and stops the reader.
    void trayQuit() {
        setUp();
        QMenu *menu = qobject_cast<QMenu *>(widget->trayIcon()->contextMenu());
        QCOMPARE(menu->actions().size(), 1);
        widget->hidThread().readerRunning = true;
        QTimer::singleShot(0, menu->actions().first(), &QAction::trigger);
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!widget->hidThread().readerRunning);
    }
    void connectSequence_data() {
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("isGun");
        QTest::addColumn<QList<int>>("reads");
        QTest::addColumn<bool>("shown");
        QTest::newRow("553") << "553" << true << QList<int>{} << true;
        QTest::newRow("553, window hidden") << "553" << false << QList<int>{} << false;
        QTest::newRow("560") << "560" << false << QList<int>{0, 1} << true;
        QTest::newRow("560 gun") << "560" << true << QList<int>{0, 1, 2, 3, 4} << true;
    }
    void connectSequence() {
        QFETCH(QString, family);
        QFETCH(bool, isGun);
        QFETCH(QList<int>, reads);
        QFETCH(bool, shown);
        prepareFolder(family, isGun);
        VirtualMouse::instance().attach(QJsonObject{{"family", family}, {"isGun", isGun}});
        makeWidget();
        widget->setVisible(shown);
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
        QCOMPARE(widget->isVisible(), shown);
        QVERIFY(VirtualMouse::instance().violations().isEmpty());
    }
    void disconnectSequence_data() {
        QTest::addColumn<QString>("situation");
        QTest::newRow("no device") << "none";
        QTest::newRow("silent device") << "silent";
        QTest::newRow("wrong code") << "code";
        QTest::newRow("empty device list") << "list";
    }
    void disconnectSequence() {
        QFETCH(QString, situation);
        prepareFolder();
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
        g_log.clear();

        widget->checkDevice();
        QCOMPARE(g_log.count("Device DisConnect"), 2);
        QCOMPARE(g_log.count("Device Connect"), 0);
        QVERIFY(!Widget::deviceConnected);
        QVERIFY(!widget->isVisible());
        QVERIFY(!widget->hidThread().readerRunning);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(trace(), QString());
    }
    // Each notification of a burst starts the wait again; one check follows.
    void notificationBurstGivesOneCheck() {
        setUp();
        QTimer &timer = widget->checkTimer();
        timer.setInterval(300);
        QSignalSpy checks(&timer, &QTimer::timeout);
        widget->deviceChanged();
        QTRY_VERIFY(timer.remainingTime() < 150);
        widget->deviceChanged();
        QVERIFY(timer.remainingTime() > 200);
        QTRY_COMPARE(checks.count(), 1);
        QVERIFY2(!timer.isActive(), "the check repeats");
        QCOMPARE(g_log.count("Device DisConnect"), 2); // the check really ran
    }
    // The tray icon's clicks and a second start restore the window only
    // while a mouse is connected.
    void restoreOnlyWhileConnected() {
        setUp();
        const struct {
            bool connected;
            int request; // a tray activation reason, or -1 for a second start
            bool shown;
        } cases[] = {{true, QSystemTrayIcon::Trigger, true},
                     {false, QSystemTrayIcon::Trigger, false},
                     {true, QSystemTrayIcon::MiddleClick, false},
                     {false, -1, false}};
        for (const auto &c : cases) {
            widget->hide();
            Widget::deviceConnected = c.connected;
            if (c.request < 0)
                widget->receiveMessage(QString());
            else
                emit widget->trayIcon()->activated(QSystemTrayIcon::ActivationReason(c.request));
            QCoreApplication::processEvents();
            QVERIFY2(widget->isVisible() == c.shown && !widget->isMinimized(),
                     qPrintable(QStringLiteral("%1 %2").arg(c.connected).arg(c.request)));
        }
    }
    // Steps of a drag add up, negative ones too.
    void windowMoves() {
        setUp();
        widget->move(100, 200);
        for (int dx : {5, 5, -20})
            widget->controller()->onXChanged(dx);
        widget->controller()->onYChanged(-3);
        QCOMPARE(widget->pos(), QPoint(90, 197));
    }
    void callsIntoScene() {
        setUp();
        widget->controller()->setBusy(250);
        QCOMPARE(trace(), QStringLiteral("protect 250;")); // direct: no event processing in between
        widget->controller()->setBusy();
        root()->setProperty("trace", QString());

        // Hook input is queued: nothing runs inside the hook.
        InputCallbacks::keyboard(0x04, true, widget.get());
        InputCallbacks::mouse(0xF1, false, 10, -20, widget.get());
        QCOMPARE(trace(), QString());
        QTRY_COMPARE(trace(), QStringLiteral("key true 4;mouse false 241 10 -20;"));
        root()->setProperty("trace", QString());

        // Only the user event with the run code starts the scene.
        QCoreApplication::postEvent(widget.get(), new UserEvent(2176));
        QCoreApplication::postEvent(widget.get(), new QEvent(QEvent::User));
        QCoreApplication::postEvent(widget.get(), new QEvent(QEvent::Type(QEvent::User + 1)));
        QCoreApplication::postEvent(widget.get(), new UserEvent(2177));
        QTRY_COMPARE(trace(), QStringLiteral("run;"));
    }
    void unplugThenPlugReconnects() {
        VirtualMouse::instance().attach(QJsonObject{});
        setUp();
        const std::unique_ptr<QObject> changes = startDeviceChangeNotifications(widget.get());
        widget->checkTimer().setInterval(100);
        QVERIFY(connectDevice());
        VirtualMouse::instance().emitDpiStage(3); // reader events reach the scene
        QTRY_VERIFY_WITH_TIMEOUT(trace().contains("dpi 3;"), 5000);
        // Notifications are ignored while the reader runs; once it has stopped
        // they count again, which is what reconnects below.
        widget->deviceChanged();
        QVERIFY(!widget->checkTimer().isActive());

        VirtualMouse::instance().unplug();
        // The reader notices, disables the view and stops; the notification that
        // came with the unplug was ignored while it still ran, or finds nothing.
        QTRY_VERIFY_WITH_TIMEOUT(!widget->view()->isEnabled(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!widget->hidThread().readerRunning, 5000);
        QTRY_VERIFY(!widget->checkTimer().isActive());
        root()->setProperty("trace", QString());

        VirtualMouse::instance().plug();
        QTRY_VERIFY_WITH_TIMEOUT(trace().contains("run;"), 5000);
        QVERIFY(widget->view()->isEnabled() && widget->hidThread().readerRunning);

        // The plug's notification comes while the reader is still on its last
        // pass and is ignored: the check once the reader stops reconnects.
        root()->setProperty("trace", QString());
        widget->checkTimer().setInterval(1000);
        VirtualMouse::instance().setPlugListener(nullptr); // notified by hand from here on
        QVERIFY(widget->hidThread().readerRunning);
        widget->deviceChanged();
        VirtualMouse::instance().unplug();
        QTRY_VERIFY_WITH_TIMEOUT(!widget->hidThread().readerRunning, 5000);
        VirtualMouse::instance().plug();
        QTRY_VERIFY_WITH_TIMEOUT(trace().contains("run;"), 5000);
        QVERIFY(widget->view()->isEnabled());
    }
    // Another program's text shows as it is, once, in a box that does not
    // end the program living in the tray when it closes.
    void copyDataBox() {
        setUp();
        widget->setWindowTitle(QStringLiteral("SK-70 title"));
        QStringList seen;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&seen] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                seen << box->windowTitle() << box->text()
                     << QString::number(box->textFormat() == Qt::PlainText);
                box->accept();
            }
        });
        closer.start(20);
        const QByteArray text("<b>bold</b> & <i>x</i>");
        QTimer::singleShot(0, this, [&] {
            InputCallbacks::copyData(1, "hello", 5, widget.get()); // another id: no box
            InputCallbacks::copyData(9487, text.constData(), unsigned(text.size()), widget.get());
            QTimer::singleShot(100, [] { QCoreApplication::exit(7); });
        });
        QCOMPARE(QCoreApplication::exec(), 7);
        QCOMPARE(seen, (QStringList{"SK-70 title", QString::fromUtf8(text), "1"}));
    }

private:
    // Copies the shipped settings into a fresh folder, applies overrides to
    // its global settings and makes it the working directory.
    void prepareFolder(const QString &icType = "553", bool isGun = false) {
        folder = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir::setCurrent(folder->path()) && QDir().mkpath("modules"));
        QCOMPARE(QProcess::execute("cp", {"-r", dataFolder + "/setting", "modules/"}), 0);
        QSettings global("modules/setting/apConfig.bin", QSettings::IniFormat);
        global.setValue("mouse/icType", icType);
        global.setValue("mouse/isGun", isGun);
        QFile scene("trace.qml");
        QVERIFY(scene.open(QIODevice::WriteOnly) && scene.write(kTraceScene) > 0);
    }
    // Builds the widget on the trace scene.
    void makeWidget() {
        widget = std::make_unique<Widget>();
        widget->view()->setSource(QUrl::fromLocalFile(QFileInfo("trace.qml").absoluteFilePath()));
        QVERIFY2(widget->view()->status() == QQuickWidget::Ready,
                 qPrintable(widget->view()->errors().isEmpty()
                                ? QString()
                                : widget->view()->errors().first().toString()));
    }
    void setUp() {
        prepareFolder();
        makeWidget();
    }
    QString trace() const { return root()->property("trace").toString(); }
    QQuickItem *root() const { return widget->view()->rootObject(); }
    bool connectDevice() {
        widget->checkDevice();
        return QTest::qWaitFor([this] { return trace().contains("run;"); }, 5000);
    }

    QString dataFolder;
    QString originalFolder;
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<Widget> widget;
};

QTEST_MAIN(TestWidget)
#include "tst_widget.moc"
