#pragma once

#include <QObject>
#include <QString>

struct udev;
struct udev_monitor;
class QSocketNotifier;

// Watches the kernel's device events of one subsystem and reports each as
// changed(). Used for "hidraw": a mouse plugged or pulled adds or removes
// its hidraw nodes.
class UdevMonitor : public QObject {
    Q_OBJECT
public:
    explicit UdevMonitor(const QString &subsystem = QStringLiteral("hidraw"),
                         QObject *parent = nullptr);
    ~UdevMonitor() override;

    // False when udev is not reachable (no notifications will come).
    bool isActive() const { return monitor != nullptr; }

signals:
    void changed(const QString &action, const QString &devnode);

private:
    void drain();

    struct udev *context = nullptr;
    struct udev_monitor *monitor = nullptr;
    QSocketNotifier *notifier = nullptr;
};
