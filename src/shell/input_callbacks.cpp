#include "input_callbacks.h"

#include "myqquickview.h"
#include "shell_log.h"
#include "widget.h"

#include <QMessageBox>
#include <QQuickItem>
#include <QVariant>

#include <cstring>

namespace InputCallbacks {

namespace {

QQuickItem *sceneRoot(void *ctx) {
    auto *widget = static_cast<Widget *>(ctx);
    if (!widget || !widget->view())
        return nullptr;
    return widget->view()->rootObject();
}

} // namespace

void keyboard(int usage, bool isDown, void *ctx) {
    QQuickItem *root = sceneRoot(ctx);
    if (!root)
        return;
    qCDebug(lcShell) << "detectKeyboard" << isDown << usage;
    QMetaObject::invokeMethod(root, "detectKeyboard", Qt::QueuedConnection,
                              Q_ARG(QVariant, QVariant(isDown)), Q_ARG(QVariant, QVariant(usage)));
}

void mouse(int button, bool isDown, int x, int y, void *ctx) {
    QQuickItem *root = sceneRoot(ctx);
    if (!root)
        return;
    qCDebug(lcShell) << "detectMouse" << isDown << button << x << y;
    QMetaObject::invokeMethod(root, "detectMouse", Qt::QueuedConnection,
                              Q_ARG(QVariant, QVariant(isDown)), Q_ARG(QVariant, QVariant(button)),
                              Q_ARG(QVariant, QVariant(x)), Q_ARG(QVariant, QVariant(y)));
}

std::optional<QString> copyDataText(unsigned long dwData, const char *data, unsigned int cbData) {
    if (dwData != kCopyDataId)
        return std::nullopt;
    if (!data)
        return cbData == 0 ? std::optional<QString>(QString()) : std::nullopt;
    const void *zero = std::memchr(data, 0, cbData);
    const qsizetype length = zero ? static_cast<const char *>(zero) - data : qsizetype(cbData);
    const QString text = QString::fromUtf8(data, length);
    // Invalid UTF-8 comes back longer (replacement characters) and a zero
    // byte inside the block makes it shorter: both are refused.
    if (text.toUtf8().size() != qsizetype(cbData))
        return std::nullopt;
    return text;
}

void copyData(unsigned long dwData, const char *data, unsigned int cbData, void *ctx) {
    auto *widget = static_cast<Widget *>(ctx);
    if (!widget)
        return;
    const std::optional<QString> text = copyDataText(dwData, data, cbData);
    if (!text)
        return;
    qCDebug(lcShell) << "copy data" << *text;
    // Any local process can send this text: show it literally, never as markup.
    QMessageBox box(QMessageBox::Warning, widget->windowTitle(), *text, QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    // Closing this box while the main window is hidden in the tray would
    // otherwise count as closing the last window and end the program.
    box.setAttribute(Qt::WA_QuitOnClose, false);
    box.exec();
}

InstanceMessage parseInstanceMessage(const QString &message) {
    InstanceMessage result;
    const QLatin1String prefix(kCopyDataPrefix);
    if (!message.startsWith(prefix))
        return result;
    const qsizetype colon = message.indexOf(QLatin1Char(':'), prefix.size());
    if (colon < 0)
        return result;
    bool ok = false;
    const qulonglong id = message.mid(prefix.size(), colon - prefix.size()).toULongLong(&ok);
    if (!ok || id > 0xFFFFFFFFull)
        return result;
    result.isCopyData = true;
    result.dwData = static_cast<unsigned long>(id);
    result.data = message.mid(colon + 1).toUtf8();
    return result;
}

} // namespace InputCallbacks
