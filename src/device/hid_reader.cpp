#include "hid_thread.h"

#include "event_report.h"
#include "wire_log.h"

#include <QDebug>
#include <QMutexLocker>
#include <QtConcurrent/QtConcurrentRun>

#include <hidapi.h>

namespace {

constexpr int kTextCount = 8;
constexpr int kEventWaitMs = 500;

QMutex &textMutex() {
    static QMutex m;
    return m;
}

QStringList &texts() {
    static QStringList t(kTextCount, QStringLiteral("DPI Switch to"));
    return t;
}

} // namespace

void Hid_Thread::setNotificationTexts(const QStringList &list) {
    QMutexLocker lock(&textMutex());
    // A shorter language list leaves the texts it does not cover as they were.
    for (int i = 0; i < kTextCount && i < list.size(); ++i)
        texts()[i] = list.at(i);
}

QStringList Hid_Thread::notificationTexts() {
    QMutexLocker lock(&textMutex());
    return texts();
}

void Hid_Thread::startDeviceReader(uint index) {
    // Only one reader at a time: the previous one ends within one pass, and
    // two of them would share the event handle.
    readerRunning = false;
    readerFuture.waitForFinished();

    // Values that were never read must not be written back as if they were.
    if (flag560) {
        uchar o1 = 0, o2 = 0;
        hid560_81H_GetKeyboardoption(o1, o2);
        if (lastExchangeOk)
            hid560_01H_SetKeyboardoption(static_cast<uchar>(o1 | 0x08), o2);
    } else {
        uchar o1 = 0, o2 = 0, o3 = 0, o4 = 0;
        hid553_83H_GetKeyboardoption(o1, o2, o3, o4);
        if (lastExchangeOk)
            hid553_03H_SetKeyboardoption(o1, o2, o3, static_cast<uchar>(o4 | 0x40));
    }

    readerRunning = true;
    readerFuture = QtConcurrent::run(&Hid_Thread::deviceReader, this, index);
}

void Hid_Thread::deviceReader(uint index) {
    const int i = static_cast<int>(index);
    const QString path = eventPathAt(i);
    if (path.isEmpty()) {
        // Nothing to listen on; a running flag would only block the next
        // detection from ever starting.
        readerRunning = false;
        return;
    }
    while (readerRunning) {
        hid_device *h = openEventDevice(i);
        if (!h) {
            qDebug().noquote() << "Device removed";
            clearEventPath(i, path);
            readerRunning = false;
            emit deviceRemoved();
            return;
        }
        unsigned char buf[4] = {};
        const int got = WireLog::readTimeout(h, buf, sizeof buf, kEventWaitMs);
        const int stage = EventReport::dpiStage(buf, got);
        if (stage >= 0) {
            emit dpiStageChanged(stage);
            QString text;
            {
                QMutexLocker lock(&textMutex());
                text = texts().at(EventReport::textIndex(stage));
            }
            emit balloon(QStringLiteral("Info"), text + QLatin1Char(' '));
        }
        closeEventDevice();
    }
}
