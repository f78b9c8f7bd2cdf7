#include "widget.h"

#include "device_list.h"
#include "myqquickview.h"
#include "shell_log.h"
#include "ui_controler.h"

#include <QAction>
#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QIcon>
#include <QImageReader>
#include <QMenu>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

Q_LOGGING_CATEGORY(lcShell, "skarn.shell", QtWarningMsg)

const char *const Widget::kTrayToolTip = "TARNWELL SKARN MOUSE SK-70";
const char *const Widget::kTrayIconPath = "./modules/img/logo.ico";
const char *const Widget::kTrayMenuStyle =
    "QMenu { border: 1px solid rgb(100, 100, 100); background: rgb(68, 69, 73); } "
    "QMenu::item { height: 22px; padding: 0px 25px 0px 20px; } "
    "QMenu::item:enabled { color: rgb(225, 225, 225); } "
    "QMenu::item:!enabled { color: rgb(155, 155, 155); } "
    "QMenu::item:enabled:selected { color: rgb(230, 230, 230); background: rgba(255, 255, 255, "
    "40); } "
    "QMenu::separator { height: 1px; background: rgb(100, 100, 100); } "
    "QMenu::indicator { width: 13px; height: 13px; } "
    "QMenu::icon { padding-left: 2px; padding-right: 2px; } ";

namespace {

// Trays draw the icon at 16 to 64 px. The file also carries 128 and 256 px
// images, which QIcon would keep decoded (0.3 MB) for the program's life.
QIcon trayIconFrom(const QString &path) {
    constexpr int kLargestTraySize = 64;
    QIcon icon;
    QImageReader reader(path);
    for (int i = 0; i < reader.imageCount() && reader.jumpToImage(i); ++i) {
        // The header's size spares decoding the large images at start-up.
        if (reader.size().width() > kLargestTraySize)
            continue;
        const QImage image = reader.read();
        if (!image.isNull() && image.width() <= kLargestTraySize)
            icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon.isNull() ? QIcon(path) : icon;
}

} // namespace

Widget::Widget(QWidget *parent) : QWidget(parent) {
    ui_Ctl = new Ui_Controler;
    ui_Ctl->setupUi(this, &hid);
    ui_Ctl->view()->setHid(&hid);

    timer.setInterval(kCheckIntervalMs);
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, &Widget::checkDevice);

    tray = new QSystemTrayIcon(this);
    quit = new QAction(tr("Quit (&Q)"), this);
    connect(quit, &QAction::triggered, this, &Widget::exitSYS);
    menu = new QMenu(this);
    menu->addAction(quit);
    menu->setStyleSheet(QString::fromLatin1(kTrayMenuStyle));
    tray->setContextMenu(menu);
    tray->setToolTip(QString::fromLatin1(kTrayToolTip));
    // A missing file gives no image at all rather than an empty placeholder.
    const QString iconPath = QString::fromLatin1(kTrayIconPath);
    tray->setIcon(QFile::exists(iconPath) ? trayIconFrom(iconPath) : QIcon());
    connect(tray, &QSystemTrayIcon::activated, this, &Widget::trayIconActivated);
    tray->show();

    // The reader emits these from its pool thread; the automatic connection
    // queues them to this (GUI) thread.
    myQQuickView *v = view();
    connect(&hid, &Hid_Thread::dpiStageChanged, v, &myQQuickView::setCurrentDPI);
    connect(&hid, &Hid_Thread::balloon, this, &Widget::showBalloon);
    connect(&hid, &Hid_Thread::deviceRemoved, v, [v] { v->setEnabled(false); });
    connect(&hid, &Hid_Thread::deviceRemoved, this, &Widget::readerStopped);
}

Widget::~Widget() {
    hid.readerRunning = false;
    // The scene holds the HID object as a context property; take the view
    // down while that object still exists, not after our members are gone.
    delete view();
    // Deleted at once rather than later: after the event loop has ended a
    // deferred deletion would never run.
    delete ui_Ctl;
    ui_Ctl = nullptr;
}

myQQuickView *Widget::view() const {
    return ui_Ctl ? ui_Ctl->view() : nullptr;
}

void Widget::showBalloon(const QString &title, const QString &text) {
    qCDebug(lcShell).noquote() << "balloon" << title << "|" << text;
    tray->showMessage(title, text, QSystemTrayIcon::Information, 10000);
}

void Widget::trayIconActivated(QSystemTrayIcon::ActivationReason reason) {
    // StatusNotifierItem trays (KDE, GNOME's AppIndicator extension, every
    // Wayland session) report any click as Trigger and never DoubleClick;
    // XEmbed and Windows trays report both, so a double-click still restores.
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
        requestRestore();
}

void Widget::receiveMessage(QString message) {
    Q_UNUSED(message);
    requestRestore();
}

void Widget::requestRestore() {
    if (!deviceConnected) {
        qCDebug(lcShell) << "restore request dropped: no device";
        return;
    }
    qCDebug(lcShell) << "restore";
#ifdef Q_OS_WIN
    PostMessageW(reinterpret_cast<HWND>(winId()), WM_SYSCOMMAND, SC_RESTORE, 0);
#else
    showNormal();
    raise();
    activateWindow();
#endif
}

#ifdef Q_OS_WIN
bool Widget::nativeEvent(const QByteArray &eventType, void *message, qintptr *result) {
    Q_UNUSED(eventType);
    Q_UNUSED(result);
    const MSG *msg = static_cast<const MSG *>(message);
    if (msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == SC_RESTORE)
        setVisible(true);
    else if (msg->message == WM_DEVICECHANGE)
        deviceChanged();
    return false;
}
#endif

void Widget::deviceChanged() {
    if (hid.readerRunning) {
        qCDebug(lcShell) << "device change ignored: reader running";
        changeWhileReading = true;
        return;
    }
    checkAfterRemoval = false;
    timer.start();
}

void Widget::readerStopped() {
    if (!changeWhileReading || hid.readerRunning)
        return;
    qCDebug(lcShell) << "reader stopped after a device change: check again";
    changeWhileReading = false;
    checkAfterRemoval = true;
    timer.start();
}

void Widget::checkDevice() {
    const int index = DeviceList::detect(hid);
    qCDebug(lcShell) << "check:" << index;
    const bool afterRemoval = checkAfterRemoval;
    checkAfterRemoval = false;
    if (index >= 0)
        connectSequence();
    else if (!afterRemoval)
        disconnectSequence();
}

void Widget::connectSequence() {
    qDebug("Device Connect");
    qCDebug(lcShell) << "Device Connect";
    myQQuickView *v = view();
    v->clearHidBusy();
    deviceConnected = true;
    changeWhileReading = false;
    showBalloon(QStringLiteral("Info"), QStringLiteral("Detect Device"));

    // The transport learns the family once, before the reader's first
    // command needs it.
    const DeviceFamily &family = v->family();
    hid.setDeviceFlags(family.flags().icType, family.flags().isGun);

    const uint index = uint(int(hid.currentIndex));
    qCDebug(lcShell) << "start reader" << index;
    hid.startDeviceReader(index);

    for (int n : family.imagesReadAtConnect()) {
        qCDebug(lcShell) << "read profile" << n;
        v->mouseReadProfile(uint(n));
    }

    v->setEnabled(true);
    qCDebug(lcShell) << "initUI";
    v->initUI();
    QCoreApplication::postEvent(this, new UserEvent(UserEvent::RunUI));
}

void Widget::disconnectSequence() {
    qDebug("Device DisConnect");
    qCDebug(lcShell) << "Device DisConnect";
    deviceConnected = false;
    setVisible(false);
}

void Widget::customEvent(QEvent *event) {
    const auto *user = dynamic_cast<const UserEvent *>(event);
    if (user && user->type() == QEvent::User && user->code == UserEvent::RunUI) {
        qCDebug(lcShell) << "runUI";
        view()->runUI();
    }
}

void Widget::exitSYS() {
    qCDebug(lcShell) << "exit";
    hid.readerRunning = false;
    QCoreApplication::exit(0);
}
