#pragma once

// A simulated SK-70 firmware behind the hidapi C API.
//
// Linking this library instead of libhidapi gives the program (and its tests)
// a strict peer: every report is checked the way the mouse's firmware would
// take it (checksum, scrambling, payload framing, settle time), its effect is
// kept as device state, and every exchange is recorded in a wire log.
//
// All members are thread-safe. The control pipe is served by a background
// thread of this library.
//
// Paths: hid_enumerate lists each plugged device as two interfaces,
// "virtual-mouse/<index>/command" and "virtual-mouse/<index>/event".
//
// Firmware state after attach (both families unless noted): key matrices all
// zero, current key matrix 0, 4 DPI stages with codes 07 0f 1f 60 80 80 80 80,
// current DPI stage 1, report rate 1, LED effect 01 ff 00, fixed colour ff 00 00,
// stage-colour type 0 with eight distinct colours, gun slots 00 00 0a, macros
// zero, current profile 1, per-profile rate and stage 1 (560). Keyboard
// options: 553 "01 02 00 00", 560 "01 02": the event-report bits (0x40 of byte
// 4, 0x08 of byte 1) start clear so that a program setting them shows, and the
// 553 gun-Y inversion byte (byte 3) is 0. Profile images are not blank: byte 0
// holds the image number; image 0 has layer mask 7 and the colours at 24..47;
// images 1..4 have 0x04 at 65, lighting 01 ff 02 at 71..73, gun data
// f0 00 00 0a at 78..81, the DPI codes twice at 84..99, stage mask 0x0f at 100
// and the colours at 104..127.
//
// Every protocol violation text starts with its kind: "bad checksum",
// "data report without a command", "too few data reports", "too many data
// reports", "wrong report length", "wrong report id", "unknown opcode",
// "settle time", "index out of range", "bad length field", "get_feature
// without a read command", "read of the command interface with no data
// report", "unread data reports", "wrong interface", "close of a handle",
// "... on a closed handle". Each one is also a wire-log record with op
// "violation".
//
// Control pipe lines (SKARN_VIRTUAL_CONTROL): "dpi N [DEV]", "unplug [DEV]",
// "plug [DEV]", "dump PATH [DEV]", "fail OP N [IFACE]", "silent 0|1 [DEV]",
// "corrupt [DEV]".

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

class VirtualMousePrivate;

class VirtualMouse {
public:
    // The process-wide instance. The first call reads SKARN_VIRTUAL_DEVICE,
    // SKARN_VIRTUAL_LOG and SKARN_VIRTUAL_CONTROL (see initFromEnvironment).
    static VirtualMouse &instance();

    // Forgets every device, open handle, queued report, log record, violation
    // and pending fault, and sets the virtual clock back to 0. The log file and
    // control pipe stay as configured. Afterwards attach() starts at index 0.
    void reset();

    // Drops everything like reset(), then reads the three environment
    // variables again: devices from SKARN_VIRTUAL_DEVICE (the built-in default
    // device when unset), a fresh log file, a (re)started control pipe.
    void initFromEnvironment();

    // Adds a plugged device. Keys: "family" ("553"/"560"), "vid", "pid",
    // "usagePage", "usage", "usagePage2", "usage2" (hex texts such as "ff00"),
    // "reportLength" (32 or 64), "isEncode", "sCode" (six characters), "isGun".
    // Missing keys take the values of the built-in default device. Returns the
    // device index.
    int attach(const QJsonObject &device);
    int deviceCount() const;

    void unplug(int device = 0);
    void plug(int device = 0);
    bool isPlugged(int device = 0) const;
    // Called after every plug or unplug, on the thread that caused it (the
    // caller of plug()/unplug(), or the control-pipe thread), with no internal
    // lock held, so the listener may call back into this class.
    void setPlugListener(std::function<void(int device, bool plugged)> listener);

    // The user pressed the DPI button: the firmware switches to `stage` and
    // queues the event report 06 07 00 stage on the event interface.
    void emitDpiStage(int stage, int device = 0);

    // hidapi paths of the two interfaces, as hid_enumerate lists them.
    QString commandPath(int device = 0) const;
    QString eventPath(int device = 0) const;

    // The newest records (2048 of them at most; the log file keeps them all).
    QJsonArray wireLog() const;
    void clearWireLog();
    QJsonObject state(int device = 0) const;
    QStringList violations() const;
    void clearViolations();

    // Fault injection. `op` is one of "open", "set_feature", "get_feature",
    // "write", "read"; the next `count` calls of that kind fail (open returns
    // null, the others -1). `iface` "command" or "event" limits it to one
    // interface; empty means either.
    void failNext(const QString &op, int count, const QString &iface = QString());
    // A silent mouse still takes reports (and ignores them) but answers
    // nothing: get_feature and reads of the command interface fail, reads of
    // the event interface wait out their time-out.
    void setSilent(bool silent, int device = 0);
    // The next reply (feature reply or data report read from the command
    // interface) arrives with its bytes flipped.
    void corruptNextReply(int device = 0);

    // Time stamps of the wire log and the settle-time checks use this clock:
    // real milliseconds since start, or (on) a counter that only
    // virtualSleep() advances.
    void useVirtualClock(bool on);
    bool virtualClock() const;
    static void virtualSleep(int ms);
    qint64 nowMs() const;

    // The firmware's block scrambling (bytes 1..6 of `code` are used).
    static void scramble(uint8_t block[8], const uint8_t code[8]);
    static void unscramble(uint8_t block[8], const uint8_t code[8]);
    static uint8_t checksum(const uint8_t block[7]);

    VirtualMousePrivate *d() const { return m_d; }

private:
    VirtualMouse();
    ~VirtualMouse() = delete;
    VirtualMouse(const VirtualMouse &) = delete;
    VirtualMouse &operator=(const VirtualMouse &) = delete;

    VirtualMousePrivate *m_d;
};
