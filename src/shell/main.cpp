#include "app_setup.h"
#include "ctl_protocol.h"
#include "ctl_server.h"
#include "devicechange.h"
#include "input_callbacks.h"
#include "input_hooks.h"
#include "quit_on_signal.h"
#include "single_instance.h"
#include "widget.h"
#include "wire_log.h"

#include <QApplication>

#include <cstdio>

namespace {

// The hooks come off however main is left, an exception included.
struct HooksInstalled {
    HooksInstalled() { InputHooks::install(0); }
    ~HooksInstalled() { InputHooks::remove(); }
    HooksInstalled(const HooksInstalled &) = delete;
    HooksInstalled &operator=(const HooksInstalled &) = delete;
};

} // namespace

int main(int argc, char *argv[]) {
    // --wire-log FILE: taken out before Qt reads the arguments; the file is
    // opened only once this is the one running instance, so a second start
    // cannot empty the running one's trace.
    const WireLog::Option wireLog = WireLog::takeOption(argc, argv);
    if (!wireLog.error.isEmpty()) {
        fprintf(stderr, "%s\n", qPrintable(wireLog.error));
        return 2;
    }
    QApplication app(argc, argv);

    SingleInstance instance;
    if (instance.isRunning()) {
        instance.sendMessage(QString(), 5000);
        return 1;
    }
    QString wireLogError;
    if (!wireLog.path.isEmpty() && !WireLog::start(wireLog.path, &wireLogError)) {
        fprintf(stderr, "%s\n", qPrintable(wireLogError));
        return 2;
    }

    const QString folder = AppSetup::enterExecutableFolder();
    AppSetup::prepareScene();

    int status = 0;
    {
        Widget widget;
        QObject::connect(&instance, &SingleInstance::messageReceived, &widget,
                         [&widget](const QString &message) {
                             const InputCallbacks::InstanceMessage m =
                                 InputCallbacks::parseInstanceMessage(message);
                             if (m.isCopyData)
                                 InputHooks::deliverCopyData(m.dwData, m.data);
                             else
                                 widget.receiveMessage(message);
                         });

        const HooksInstalled hooks;
        InputHooks::registerKeyboardCallback(&InputCallbacks::keyboard, &widget);
        InputHooks::registerMouseCallback(&InputCallbacks::mouse, &widget);
        InputHooks::registerCopyDataCallback(&InputCallbacks::copyData, &app, &widget);

        const std::unique_ptr<QObject> deviceChanges = startDeviceChangeNotifications(&widget);

        // skarn-mousectl's requests, carried out like the window's controls.
        CtlServer ctl(&widget);
        instance.setRequestHandler(QString::fromLatin1(CtlProtocol::kRequestPrefix),
                                   [&ctl](const QString &request, const SingleInstance::Answer &a) {
                                       ctl.handle(request, a);
                                   });

        // Started for a script (skarn-mousectl): only the tray icon shows.
        if (!QCoreApplication::arguments().contains(QStringLiteral("--tray")))
            widget.showNormal();
        widget.checkDevice();
#ifndef Q_OS_WIN
        QuitOnSignal quitOnSignal;
        QObject::connect(&quitOnSignal, &QuitOnSignal::quitRequested, &widget, &Widget::exitSYS);
#endif
        status = app.exec();
        instance.setRequestHandler(QString(), {});
    }
    Q_UNUSED(folder);
    return status;
}
