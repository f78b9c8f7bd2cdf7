#pragma once

// Where the program's top-level window is and whether it shows, as the X
// server reports it (xwininfo), for tests that run the real program.

#include <QPoint>
#include <QProcess>
#include <QRegularExpression>
#include <QString>

namespace X11Window {

inline QString info(const QString &title = QStringLiteral("SKARN SK-70")) {
    QProcess xwininfo;
    xwininfo.start(QStringLiteral("xwininfo"), {QStringLiteral("-name"), title});
    xwininfo.waitForFinished(10000);
    return QString::fromUtf8(xwininfo.readAllStandardOutput());
}

inline QPoint position(const QString &title = QStringLiteral("SKARN SK-70")) {
    const QString text = info(title);
    const auto at = [&](const char *axis) {
        const QRegularExpression re(
            QStringLiteral("Absolute upper-left %1:\\s+(-?\\d+)").arg(QLatin1String(axis)));
        return re.match(text).captured(1).toInt();
    };
    return {at("X"), at("Y")};
}

} // namespace X11Window
