#include "app_setup.h"

#include "shell_log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QOpenGLContext>
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
    QOpenGLContext probe;
    if (probe.create()) {
        QQuickWindow::setGraphicsApi(QSGRendererInterface::OpenGL);
    } else {
        qCDebug(lcShell) << "no OpenGL: software scene renderer";
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    }
}

} // namespace AppSetup
