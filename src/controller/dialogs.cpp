#include "dialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStandardPaths>

namespace Dialogs {

namespace {
FileProvider &fileProvider() {
    static FileProvider p;
    return p;
}
WarningProvider &warningProvider() {
    static WarningProvider p;
    return p;
}
} // namespace

void setFileDialogProvider(FileProvider provider) {
    fileProvider() = std::move(provider);
}

void setWarningProvider(WarningProvider provider) {
    warningProvider() = std::move(provider);
}

QString askFile(QWidget *parent, FileKind kind, const QString &caption, const QString &filter) {
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (fileProvider())
        return fileProvider()(kind, caption, dir, filter);
    if (kind == FileKind::Open)
        return QFileDialog::getOpenFileName(parent, caption, dir, filter);
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

void warn(QWidget *parent, const QString &title, const QString &text) {
    if (warningProvider()) {
        warningProvider()(title, text);
        return;
    }
    QMessageBox::warning(parent, title, text);
}

} // namespace Dialogs
