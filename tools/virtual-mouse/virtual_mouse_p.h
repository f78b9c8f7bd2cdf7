#pragma once

// What the parts of the simulated mouse share: the device model, the handle
// type behind the hidapi stand-in and the private object with the one lock
// that guards them all.

#include "report_checks.h"
#include "virtual_mouse.h"

#include <hidapi/hidapi.h>

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

struct Device {
    // identity
    bool is560 = false;
    uint16_t vid = 0x1209, pid = 0x0001;
    uint16_t usagePage = 0xff00, usage = 0xff00, usagePage2 = 0xff01, usage2 = 0xff01;
    int reportLength = 32;
    bool isEncode = true;
    uint8_t code[8] = {};
    bool isGun = true;

    // connection
    bool plugged = true;
    int generation = 0;
    bool silent = false;
    bool corruptNext = false;

    // firmware state
    QByteArray keyMatrix[4];
    int currentKeyMatrix = 0;
    int dpiStages = 4;
    QByteArray dpiCodes;
    int currentDpi = 1;
    int reportRate = 1;
    QByteArray ledEffect;
    QByteArray fixColor;
    int ledColorType = 0;
    QByteArray ledColors;
    QByteArray keyboardOption;
    QByteArray gunData[3];
    QByteArray macros[12];
    QByteArray profiles[5];
    int currentProfile = 1;
    int profileReportRate[4] = {1, 1, 1, 1};
    int profileDpi[4] = {1, 1, 1, 1};

    // The exchange under way; it lives with the device, not with a handle,
    // because the program reopens the interface around every report.
    ReportChecks checks;
    std::optional<QByteArray> reply;     // plain reply block awaiting get_feature
    bool replyUnreadable = false;        // the command could not be read: answer all zeros
    std::deque<QByteArray> commandQueue; // data reports of a read awaiting hid_read
    std::deque<QByteArray> eventQueue;

    void initState();
    ReportFormat format() const;

    void dropReplies() {
        reply.reset();
        replyUnreadable = false;
        commandQueue.clear();
    }
    void dropExchange() {
        checks.drop();
        dropReplies();
    }
};

struct Fault {
    QString op;
    QString iface;
    int count = 0;
};

struct hid_device_ {
    int dev = -1;
    bool event = false;
    int generation = 0;
    bool nonblocking = false;
    bool stale = false; // its device list was dropped by reset()
    std::wstring error;
};

QString virtualPath(int device, bool event);

class VirtualMousePrivate {
public:
    VirtualMouse *q = nullptr;
    mutable std::mutex m;
    std::condition_variable cv;
    std::vector<std::unique_ptr<Device>> devices;
    std::set<hid_device *> handles;
    std::set<hid_device *> staleHandles;
    QStringList violations;
    std::vector<Fault> faults;
    std::function<void(int, bool)> plugListener;
    bool virtualClock = false;
    std::wstring globalError;

    std::thread controlThread;
    std::shared_ptr<std::atomic<bool>> controlStop; // one flag per pipe thread

    qint64 now() const;

    // -- wire records (lock held) ---------------------------------------------
    struct Record {
        qint64 t;
        int dev;
        const char *iface;
        const char *op;
        QString data;
        QString text;
        QString plain;
        QJsonObject json() const;
    };
    std::deque<Record> log;
    FILE *logFile = nullptr;
    void record(int dev, const char *iface, const char *op, const QString &data = QString(),
                const QString &text = QString(), const QString &plain = QString());
    void violation(int dev, bool event, const QString &text);
    void openLogFile(const QByteArray &path);
    void closeLogFile();

    bool takeFault(const char *op, bool event);
    Device *device(int index) const;
    // Resolves a handle for a call; null (with the handle's error set) when
    // the call must fail.
    Device *live(hid_device *h, const char *op);
    void clearAll();
    int attachLocked(const QJsonObject &o);

    // firmware
    void featureReport(Device &d, const uint8_t *data, size_t len);
    void execute(Device &d, const ReportChecks::Command &c);
    void dataReport(Device &d, const uint8_t *data, size_t len);

    // control pipe
    void startControl(const QString &path);
    void stopControl();
    void controlLoop(int fd, std::shared_ptr<std::atomic<bool>> stop);
    void controlLine(const QString &line);
};
