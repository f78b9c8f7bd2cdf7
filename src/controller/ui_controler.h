#pragma once

#include <QObject>
#include <QPointer>

class Hid_Thread;
class QWidget;
class myQQuickView;

// The small window controller the scene reaches as "ui_Ctl": it builds the
// view inside the main widget and moves, minimizes and hides that widget.
class Ui_Controler : public QObject {
    Q_OBJECT
public:
    static const char *const kSceneUrl;

    explicit Ui_Controler(QObject *parent = nullptr);

    // Styles mainWidget as the program's frameless window, creates the view as
    // its child, loads the scene and publishes "ui_View", "hid" and "ui_Ctl".
    void setupUi(QWidget *mainWidget, Hid_Thread *hid);

    QWidget *mainWidget() const { return widget; }
    myQQuickView *view() const { return ui_View; }

public slots:
    void onMinimize();
    void onClose();
    void onXChanged(int x);
    void onYChanged(int y);
    // Hands the move of the window to the window system, from the press that
    // is being delivered; false when it cannot (the caller then moves the
    // window by offsets). Wayland compositors ignore moves by a client.
    bool startSystemMove();
    void setBusy(int busyTime);
    void setBusy();

private:
    QPointer<QWidget> widget;
    QPointer<myQQuickView> ui_View;
};
