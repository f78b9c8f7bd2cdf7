// Capture from the program's own windows. A Wayland compositor hands keys
// only to the client whose surface has the keyboard focus, so this is all a
// client can see there. The events are taken where Qt hands them to a
// platform window, before any widget or scene item sees (or swallows) them,
// and go the same way as XInput2's raw events.
#include "capture_linux.h"
#include "key_tables.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>

#include <memory>

namespace {

class FocusCapture : public QObject {
public:
    explicit FocusCapture(QGuiApplication *app) { app->installEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::KeyPress && type != QEvent::KeyRelease &&
            type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
            type != QEvent::FocusOut)
            return false;
        // Qt passes each event on from the platform window to widgets and to
        // the scene's own window (which has no platform window of its own);
        // only the first delivery counts.
        auto *window = qobject_cast<QWindow *>(watched);
        if (!window || !window->handle())
            return false;
        // Keys still held when the window loses the keyboard send their
        // release elsewhere; left down, a recorded macro would keep them
        // pressed and the next press would not be reported.
        if (type == QEvent::FocusOut) {
            LinuxCapture::releaseHeldKeys();
            return false;
        }
        if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
            const auto *key = static_cast<const QKeyEvent *>(event);
            // Qt turns a held key into release/press pairs marked as repeats.
            if (!key->isAutoRepeat() && key->nativeScanCode() > LinuxCapture::kKeycodeOffset)
                LinuxCapture::keyEvent(int(key->nativeScanCode()) - LinuxCapture::kKeycodeOffset,
                                       type == QEvent::KeyPress);
            return false;
        }
        const auto *mouse = static_cast<const QMouseEvent *>(event);
        const QPoint at = mouse->globalPosition().toPoint();
        LinuxCapture::buttonEvent(buttonCode(mouse->button()), type == QEvent::MouseButtonPress,
                                  at.x(), at.y());
        return false;
    }

private:
    static int buttonCode(Qt::MouseButton button) {
        switch (button) {
        case Qt::LeftButton:
            return 0xF0;
        case Qt::RightButton:
            return 0xF1;
        case Qt::MiddleButton:
            return 0xF2;
        default:
            return 0;
        }
    }
};

} // namespace

std::unique_ptr<QObject> LinuxCapture::openFocused() {
    auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    if (!app)
        return nullptr;
    return std::make_unique<FocusCapture>(app);
}
