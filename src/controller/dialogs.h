#pragma once

#include <QString>

#include <functional>

class QWidget;

// The file and message dialogs the controller shows. Tests install
// providers so nothing modal ever appears.
namespace Dialogs {

enum class FileKind { Open, Save };

using FileProvider = std::function<QString(FileKind kind, const QString &caption,
                                           const QString &dir, const QString &filter)>;
using WarningProvider = std::function<void(const QString &title, const QString &text)>;

// An empty provider restores the real dialogs.
void setFileDialogProvider(FileProvider provider);
void setWarningProvider(WarningProvider provider);

// Starts in the user's desktop folder; an empty result means cancelled.
QString askFile(QWidget *parent, FileKind kind, const QString &caption, const QString &filter);
void warn(QWidget *parent, const QString &title, const QString &text);

} // namespace Dialogs
