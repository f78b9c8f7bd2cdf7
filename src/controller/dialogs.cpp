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

// The dialogs get no parent: the main window is frameless and translucent
// with a transparent style sheet, which a child dialog would inherit and
// draw as an unreadable black box. Closing one while the window sits in the
// tray must not count as closing the program's last window.
QString askFile(QWidget *parent, FileKind kind, const QString &caption, const QString &filter) {
    Q_UNUSED(parent);
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (fileProvider())
        return fileProvider()(kind, caption, dir, filter);
    QFileDialog dialog(nullptr, caption, dir, filter);
    dialog.setAttribute(Qt::WA_QuitOnClose, false);
    if (kind == FileKind::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

void warn(QWidget *parent, const QString &title, const QString &text) {
    Q_UNUSED(parent);
    if (warningProvider()) {
        warningProvider()(title, text);
        return;
    }
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok);
    box.setAttribute(Qt::WA_QuitOnClose, false);
    box.exec();
}

} // namespace Dialogs
