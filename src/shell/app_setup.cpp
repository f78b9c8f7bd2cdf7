#include "app_setup.h"

#include "shell_log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QQuickWindow>

namespace AppSetup {

QString enterExecutableFolder() {
    QString folder = QCoreApplication::applicationFilePath();
    folder.truncate(folder.lastIndexOf(QLatin1Char('/'), -1, Qt::CaseSensitive));
    QDir::setCurrent(folder);
    return folder;
}

void prepareScene() {
    QFont::insertSubstitution(QStringLiteral("微软雅黑"), QStringLiteral("WenQuanYi Micro Hei"));
    QFont::insertSubstitution(QStringLiteral("Microsoft YaHei"),
                              QStringLiteral("WenQuanYi Micro Hei"));

    // An explicit choice in the environment wins.
    if (!qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND") ||
        !qEnvironmentVariableIsEmpty("QSG_RHI_BACKEND"))
        return;
    // A fixed 1024 x 640 window of pictures and flat panels needs no GPU.
    // The software scene graph starts faster and keeps the resident set
    // small: an OpenGL context alone maps the whole GL driver into this
    // tray program for as long as it runs, and with Mesa's software GL (VMs,
    // remote sessions, Xvfb) that is LLVM as well.
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

} // namespace AppSetup
