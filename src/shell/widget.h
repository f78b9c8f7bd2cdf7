#pragma once

#include "hid_thread.h"

#include <QEvent>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

class QAction;
class QMenu;
class Ui_Controler;
class myQQuickView;

// Posted to the main widget to run the user interface once the current event
// has been handled.
class UserEvent : public QEvent {
public:
    static constexpr int RunUI = 2177;

    explicit UserEvent(int code) : QEvent(QEvent::User), code(code) {}
    int code;
};

// The program's one top-level window: owns the HID object, the device check
// timer, the scene controller and the tray icon.
class Widget : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCheckIntervalMs = 2048;
    static const char *const kTrayToolTip;
    static const char *const kTrayMenuStyle;
    static const char *const kTrayIconPath;

    explicit Widget(QWidget *parent = nullptr);
    ~Widget() override;

    // Program-wide: a device answered the last check.
    static inline bool deviceConnected = false;

    Hid_Thread &hidThread() { return hid; }
    Ui_Controler *controller() const { return ui_Ctl; }
    myQQuickView *view() const;
    QTimer &checkTimer() { return timer; }
    QSystemTrayIcon *trayIcon() const { return tray; }
    QMenu *trayMenu() const { return menu; }
    QAction *quitAction() const { return quit; }

    // Shows a tray balloon and logs it.
    void showBalloon(const QString &title, const QString &text);

public slots:
    void trayIconActivated(QSystemTrayIcon::ActivationReason reason);
    void checkDevice();
    void exitSYS();
    void receiveMessage(QString message);

    // Every device-change notification of every platform ends here.
    void deviceChanged();

protected:
    void customEvent(QEvent *event) override;
#ifdef Q_OS_WIN
    bool nativeEvent(const QByteArray &eventType, void *message, qintptr *result) override;
#endif

private:
    void connectSequence();
    void disconnectSequence();
    void requestRestore();
    void readerStopped();

    QTimer timer;
    // A notification ignored while the reader ran may have been the mouse
    // coming back before the reader noticed it had gone: checked again when
    // the reader stops, without hiding the window if nothing answers.
    bool changeWhileReading = false;
    bool checkAfterRemoval = false;
    Ui_Controler *ui_Ctl = nullptr;
    Hid_Thread hid;
    QSystemTrayIcon *tray = nullptr;
    QMenu *menu = nullptr;
    QAction *quit = nullptr;
};
