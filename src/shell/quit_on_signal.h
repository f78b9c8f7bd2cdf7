#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT (session end, kill, Ctrl+C) into a call of the
// given slot on the GUI thread, so the program leaves through its normal exit
// path: reader stopped, hooks removed, settings flushed.
class QuitOnSignal : public QObject {
    Q_OBJECT
public:
    explicit QuitOnSignal(QObject *parent = nullptr);
    ~QuitOnSignal() override;

    bool isActive() const { return notifier != nullptr; }

signals:
    void quitRequested(int signalNumber);

private:
    QSocketNotifier *notifier = nullptr;
};
