#include "ui_controler.h"

#include "hid_thread.h"
#include "module_paths.h"
#include "myqquickview.h"

#include <QQmlContext>
#include <QQuickItem>
#include <QSettings>
#include <QUrl>
#include <QVariant>
#include <QWidget>
#include <QWindow>

const char *const Ui_Controler::kSceneUrl = "qrc:modules/qml/main.qml";

Ui_Controler::Ui_Controler(QObject *parent) : QObject(parent) {}

void Ui_Controler::setupUi(QWidget *mainWidget, Hid_Thread *hid) {
    if (mainWidget->objectName().isEmpty())
        mainWidget->setObjectName(QStringLiteral("Widget"));
    widget = mainWidget;
    mainWidget->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
    mainWidget->setWindowOpacity(1.0);
    mainWidget->setAttribute(Qt::WA_TranslucentBackground, true);
    mainWidget->setStyleSheet(QStringLiteral("background:transparent;"));

    ui_View = new myQQuickView(mainWidget);
    ui_View->setObjectName(QStringLiteral("ui_View"));
    // The window is see-through: only the scene's own items may cover the
    // desktop (the start-up logo shows alone over it).
    ui_View->setClearColor(Qt::transparent);
    ui_View->setSource(QUrl(QString::fromLatin1(kSceneUrl)));

    QQmlContext *context = ui_View->rootContext();
    context->setContextProperty(QStringLiteral("ui_View"), ui_View);
    context->setContextProperty(QStringLiteral("hid"), hid);
    context->setContextProperty(QStringLiteral("ui_Ctl"), this);

    // A scene that failed to load has no size of its own; the widget then
    // keeps the view's.
    QSize size = ui_View->size();
    if (size.isEmpty())
        size = ui_View->sizeHint();
    if (!size.isEmpty()) {
        ui_View->resize(size);
        mainWidget->resize(size);
    }

    const QSettings global(ModulePaths::globalSettings(), QSettings::IniFormat);
    mainWidget->setWindowTitle(global.value(QStringLiteral("common/name"), QString()).toString());
}

void Ui_Controler::onMinimize() {
    if (widget)
        widget->showMinimized();
}

void Ui_Controler::onClose() {
    if (widget)
        widget->setVisible(false);
}

void Ui_Controler::onXChanged(int x) {
    if (widget)
        widget->move(widget->x() + x, widget->y());
}

void Ui_Controler::onYChanged(int y) {
    if (widget)
        widget->move(widget->x(), widget->y() + y);
}

bool Ui_Controler::startSystemMove() {
    QWindow *window = widget ? widget->window()->windowHandle() : nullptr;
    return window && window->startSystemMove();
}

void Ui_Controler::setBusy(int busyTime) {
    if (!ui_View)
        return;
    if (QQuickItem *root = ui_View->rootObject())
        QMetaObject::invokeMethod(root, "setProtectUI", Qt::DirectConnection,
                                  Q_ARG(QVariant, QVariant(busyTime)));
}

void Ui_Controler::setBusy() {
    setBusy(0);
}
