// X11 backend of the input capture: XInput2 raw events on a display
// connection of our own, so Qt's connection and its event filtering stay
// untouched. Raw events reach the root window whatever window has the focus
// or a grab, which is what a system-wide capture needs.
#include "capture_linux.h"
#include "key_tables.h"

#include <QCoreApplication>
#include <QObject>
#include <QSocketNotifier>

#include <memory>

#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>

namespace {

int g_xError = 0;
int recordXError(Display *, XErrorEvent *event) {
    g_xError = event->error_code;
    return 0;
}

class X11Capture : public QObject {
public:
    static std::unique_ptr<QObject> open();
    ~X11Capture() override;

private:
    explicit X11Capture(Display *display, int opcode);
    void drain();
    void handleRaw(int evtype, const XIRawEvent *raw);

    Display *m_display;
    int m_opcode;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

std::unique_ptr<QObject> X11Capture::open() {
    // The notifier needs the event loop of the thread that installs.
    if (!QCoreApplication::instance())
        return nullptr;
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return nullptr;
    int opcode = 0, firstEvent = 0, firstError = 0;
    int major = 2, minor = 2;
    if (!XQueryExtension(display, "XInputExtension", &opcode, &firstEvent, &firstError) ||
        XIQueryVersion(display, &major, &minor) != Success || major < 2 ||
        (major == 2 && minor < 2)) {
        XCloseDisplay(display);
        return nullptr;
    }

    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    XISetMask(bits, XI_RawButtonPress);
    XISetMask(bits, XI_RawButtonRelease);
    XIEventMask mask;
    mask.deviceid = XIAllMasterDevices;
    mask.mask_len = sizeof(bits);
    mask.mask = bits;

    // Xlib's default handler ends the process on any error; a server that
    // refuses the selection must only make the install fail.
    g_xError = 0;
    auto previous = XSetErrorHandler(recordXError);
    XISelectEvents(display, DefaultRootWindow(display), &mask, 1);
    XSync(display, False);
    XSetErrorHandler(previous);
    if (g_xError != 0) {
        XCloseDisplay(display);
        return nullptr;
    }
    return std::unique_ptr<QObject>(new X11Capture(display, opcode));
}

X11Capture::X11Capture(Display *display, int opcode) : m_display(display), m_opcode(opcode) {
    // Alt may already be held when the capture starts (Alt+Print Screen).
    char keys[32] = {};
    XQueryKeymap(m_display, keys);
    auto held = [&keys](int evdev) {
        const int keycode = evdev + LinuxCapture::kKeycodeOffset;
        return (keys[keycode / 8] >> (keycode % 8)) & 1;
    };
    LinuxCapture::setAltHeld(held(KeyTables::EvdevLeftAlt), held(KeyTables::EvdevRightAlt));

    m_notifier =
        std::make_unique<QSocketNotifier>(ConnectionNumber(m_display), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { drain(); });
    // Anything Xlib already read off the socket would not wake the notifier.
    drain();
}

X11Capture::~X11Capture() {
    m_notifier.reset();
    XCloseDisplay(m_display);
}

void X11Capture::drain() {
    // XPending reads what the socket holds; events queued by a round trip
    // inside a callback are picked up by the same loop.
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        XGenericEventCookie *cookie = &event.xcookie;
        if (cookie->type != GenericEvent || cookie->extension != m_opcode)
            continue;
        if (!XGetEventData(m_display, cookie))
            continue;
        handleRaw(cookie->evtype, static_cast<const XIRawEvent *>(cookie->data));
        XFreeEventData(m_display, cookie);
    }
}

void X11Capture::handleRaw(int evtype, const XIRawEvent *raw) {
    switch (evtype) {
    case XI_RawKeyPress:
    case XI_RawKeyRelease:
        LinuxCapture::keyEvent(raw->detail - LinuxCapture::kKeycodeOffset,
                               evtype == XI_RawKeyPress);
        return;
    case XI_RawButtonPress:
    case XI_RawButtonRelease: {
        const int code = KeyTables::x11ButtonToCode(raw->detail);
        if (code == 0)
            return;
        Window root = 0, child = 0;
        int rootX = 0, rootY = 0, winX = 0, winY = 0;
        unsigned int buttons = 0;
        XQueryPointer(m_display, DefaultRootWindow(m_display), &root, &child, &rootX, &rootY, &winX,
                      &winY, &buttons);
        LinuxCapture::buttonEvent(code, evtype == XI_RawButtonPress, rootX, rootY);
        return;
    }
    default:
        return;
    }
}

} // namespace

std::unique_ptr<QObject> LinuxCapture::openX11() {
    return X11Capture::open();
}
