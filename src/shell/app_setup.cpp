#include "app_setup.h"

#include "shell_log.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFont>
#include <QMetaProperty>
#include <QQuickItem>
#include <QQuickWidget>
#include <QQuickWindow>
#include <QTimer>

namespace AppSetup {

namespace {

// After the start-up logo has gone the scene has drawn its full window once.
constexpr int kSettleMs = 500;

// Watches the scene's root for the end of start-up ("uiShown" turning true)
// and then drops the font pages once, shortly after.
void watchForStartupEnd() {
    const QWidgetList widgets = QApplication::allWidgets();
    for (QWidget *w : widgets) {
        auto *view = qobject_cast<QQuickWidget *>(w);
        QQuickItem *root = view ? view->rootObject() : nullptr;
        if (!root)
            continue;
        const QMetaObject *meta = root->metaObject();
        const int index = meta->indexOfProperty("uiShown");
        if (index < 0 || !meta->property(index).hasNotifySignal())
            continue;
        auto *relay = new QTimer(root);
        relay->setSingleShot(true);
        relay->setInterval(kSettleMs);
        // The flag also changes when the logo first appears; only its
        // turning true ends start-up.
        QObject::connect(relay, &QTimer::timeout, relay, [relay, root] {
            if (!root->property("uiShown").toBool())
                return;
            dropFontPages();
            releaseFreedMemory();
            relay->deleteLater();
        });
        const QMetaMethod start =
            relay->metaObject()->method(relay->metaObject()->indexOfMethod("start()"));
        QObject::connect(root, meta->property(index).notifySignal(), relay, start);
        return;
    }
}

} // namespace

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
    // Once the event loop runs, the window and its scene exist.
    QTimer::singleShot(0, qApp, &watchForStartupEnd);

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
