// Windows backend of the input capture: the public entry points over the
// low-level hooks, and the application's native filter for WM_COPYDATA
// (which replaces Qt 4's QCoreApplication::setEventFilter).
#include "input_hooks.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include "hooks_win.h"

namespace {

class CopyDataFilter : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override {
        // WM_COPYDATA is always sent, never posted, so it reaches Qt only
        // through the window procedure, as a "generic" message.
        if (eventType != "windows_generic_MSG")
            return false;
        const MSG *msg = static_cast<const MSG *>(message);
        if (!msg || !WinHooks::dispatchCopyData(msg->message, msg->lParam))
            return false;
        if (result)
            *result = 1;
        return true;
    }
};

CopyDataFilter g_filter;
QCoreApplication *g_filteredApp = nullptr;

} // namespace

namespace InputHooks {

int install(int /*flags*/) {
    return WinHooks::install();
}

void remove() {
    WinHooks::remove();
}

void registerKeyboardCallback(KeyboardCallback cb, void *context) {
    WinHooks::setKeyboardCallback(cb, context);
}

void registerMouseCallback(MouseCallback cb, void *context) {
    WinHooks::setMouseCallback(cb, context);
}

void registerCopyDataCallback(CopyDataCallback cb, QCoreApplication *app, void *context) {
    WinHooks::setCopyDataCallback(cb, context);
    if (app && app != g_filteredApp) {
        if (g_filteredApp)
            g_filteredApp->removeNativeEventFilter(&g_filter);
        app->installNativeEventFilter(&g_filter);
        g_filteredApp = app;
    }
}

bool deliverCopyData(unsigned long dwData, const QByteArray &data) {
    // Same path as a real WM_COPYDATA, so both reach the callback alike.
    COPYDATASTRUCT cds;
    cds.dwData = dwData;
    cds.cbData = static_cast<DWORD>(data.size());
    cds.lpData = const_cast<char *>(data.constData());
    return WinHooks::dispatchCopyData(WM_COPYDATA, reinterpret_cast<LPARAM>(&cds));
}

} // namespace InputHooks
