#pragma once

// The wire trace (--wire-log FILE): every exchange with the mouse as one JSON
// line, in the simulated mouse's log format, written and flushed as it
// happens so that it survives a crash. The transport calls hidapi through
// these wrappers; while no trace is open each costs one relaxed load.

#include <QString>

#include <atomic>
#include <cstddef>

struct hid_device_;
typedef struct hid_device_ hid_device;

namespace WireLog {

// The --wire-log option, taken out of the arguments before Qt sees them.
struct Option {
    QString path;  // empty: no trace asked for
    QString error; // a malformed option
};
Option takeOption(int &argc, char **argv);

// Starts the trace (truncating `path`); false with a reason when the file
// cannot be written. stop() ends it.
bool start(const QString &path, QString *error = nullptr);
void stop();

namespace detail {
extern std::atomic<bool> on;
}
inline bool active() {
    return detail::on.load(std::memory_order_relaxed);
}

// The block of the next feature report before it is scrambled, recorded
// beside the scrambled bytes.
void plainBlock(const unsigned char block[8]);

// hidapi calls, recorded. `dev` is the index in the device list.
hid_device *openPath(const char *path, int dev, bool event);
void close(hid_device *h);
int sendFeatureReport(hid_device *h, const unsigned char *data, size_t length);
int getFeatureReport(hid_device *h, unsigned char *data, size_t length);
int write(hid_device *h, const unsigned char *data, size_t length);
int readTimeout(hid_device *h, unsigned char *data, size_t length, int milliseconds);

} // namespace WireLog
