// Starts like the program does (single instance keyed on this executable,
// working directory moved to its folder) and reports on stdout, so tests can
// drive the lock and the socket across real processes.
//
//   shell_instance_probe            owner: prints "owner <cwd>", then
//                                   "message [<text>]" per message; a message
//                                   "quit" ends it with 0.
//   shell_instance_probe TEXT       as above, or when an owner runs: sends
//                                   TEXT, prints "sent 1|0", exits 1.
#include "app_setup.h"
#include "single_instance.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QString text = argc > 1 ? QString::fromUtf8(argv[1]) : QString();

    SingleInstance instance;
    if (instance.isRunning()) {
        const bool sent = instance.sendMessage(text, 5000);
        std::printf("sent %d\n", sent ? 1 : 0);
        return 1;
    }
    AppSetup::enterExecutableFolder();
    std::printf("owner %s\n", qPrintable(QDir::currentPath()));
    std::fflush(stdout);
    QObject::connect(&instance, &SingleInstance::messageReceived, &app, [](const QString &m) {
        std::printf("message [%s]\n", m.toUtf8().constData());
        std::fflush(stdout);
        if (m == QLatin1String("quit"))
            QCoreApplication::exit(0);
    });
    return app.exec();
}
