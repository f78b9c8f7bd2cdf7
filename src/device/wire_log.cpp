#include "wire_log.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <hidapi.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <utility>

namespace WireLog {
namespace detail {
std::atomic<bool> on{false};
}

namespace {

struct Trace {
    std::mutex m;
    FILE *file = nullptr;
    QElapsedTimer clock;
    std::map<const hid_device *, std::pair<int, bool>> handles; // dev, event
};

Trace &trace() {
    static Trace t;
    return t;
}

// Only the command interface sends feature reports, from one thread.
thread_local bool t_hasPlain = false;
thread_local unsigned char t_plain[8];

QString hex(const unsigned char *data, size_t len) {
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char *>(data), int(len)).toHex(' '));
}

QString errorText(hid_device *h) {
    const wchar_t *e = hid_error(h);
    return e ? QString::fromWCharArray(e) : QStringLiteral("unknown error");
}

void record(int dev, bool event, const char *op, const QString &data, const QString &text,
            const QString &plain = QString()) {
    Trace &t = trace();
    std::lock_guard<std::mutex> l(t.m);
    if (!t.file)
        return;
    QJsonObject r{{"t", double(t.clock.elapsed())},
                  {"dev", dev},
                  {"iface", QLatin1String(event ? "event" : "command")},
                  {"op", QLatin1String(op)}};
    if (!data.isNull())
        r.insert("data", data);
    if (!plain.isNull())
        r.insert("plain", plain);
    if (!text.isNull())
        r.insert("text", text);
    QByteArray line = QJsonDocument(r).toJson(QJsonDocument::Compact);
    line += '\n';
    fwrite(line.constData(), 1, size_t(line.size()), t.file);
    fflush(t.file);
}

// A call on a handle: its data when it moved bytes, its error when it failed.
void call(hid_device *h, const char *op, int result, const unsigned char *data, size_t len,
          bool dataOnFailure, const QString &plain = QString()) {
    std::pair<int, bool> who{-1, false};
    {
        Trace &t = trace();
        std::lock_guard<std::mutex> l(t.m);
        const auto it = t.handles.find(h);
        if (it != t.handles.end())
            who = it->second;
    }
    const QString bytes = (result >= 0 || dataOnFailure) ? hex(data, len) : QString();
    const QString text = result < 0 ? QStringLiteral("failed (%1)").arg(errorText(h)) : QString();
    record(who.first, who.second, op, bytes, text, plain);
}

} // namespace

Option takeOption(int &argc, char **argv) {
    Option o;
    int out = 1;
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (a == "--wire-log") {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                o.error = QStringLiteral("--wire-log needs a file name");
                continue;
            }
            o.path = QFile::decodeName(argv[++i]);
        } else if (a.startsWith("--wire-log=")) {
            o.path = QFile::decodeName(a.mid(11));
            if (o.path.isEmpty())
                o.error = QStringLiteral("--wire-log needs a file name");
        } else {
            argv[out++] = argv[i];
        }
    }
    argc = out;
    argv[argc] = nullptr;
    return o;
}

bool start(const QString &path, QString *error) {
    Trace &t = trace();
    std::lock_guard<std::mutex> l(t.m);
    if (t.file)
        fclose(t.file);
    t.file = fopen(QFile::encodeName(path).constData(), "we");
    if (!t.file) {
        if (error)
            *error = QStringLiteral("cannot write the wire log %1: %2")
                         .arg(path, QString::fromLocal8Bit(strerror(errno)));
        detail::on = false;
        return false;
    }
    t.clock.start();
    t.handles.clear();
    detail::on = true;
    return true;
}

void stop() {
    Trace &t = trace();
    std::lock_guard<std::mutex> l(t.m);
    detail::on = false;
    if (t.file)
        fclose(t.file);
    t.file = nullptr;
    t.handles.clear();
}

void plainBlock(const unsigned char block[8]) {
    if (!active())
        return;
    memcpy(t_plain, block, 8);
    t_hasPlain = true;
}

hid_device *openPath(const char *path, int dev, bool event) {
    hid_device *h = hid_open_path(path);
    if (!active())
        return h;
    if (h) {
        {
            Trace &t = trace();
            std::lock_guard<std::mutex> l(t.m);
            t.handles[h] = {dev, event};
        }
        record(dev, event, "open", QString(), QString());
    } else {
        record(dev, event, "open-failed", QString(), errorText(nullptr));
    }
    return h;
}

void close(hid_device *h) {
    if (h && active()) {
        std::pair<int, bool> who{-1, false};
        {
            Trace &t = trace();
            std::lock_guard<std::mutex> l(t.m);
            const auto it = t.handles.find(h);
            if (it != t.handles.end()) {
                who = it->second;
                t.handles.erase(it);
            }
        }
        record(who.first, who.second, "close", QString(), QString());
    }
    hid_close(h);
}

int sendFeatureReport(hid_device *h, const unsigned char *data, size_t length) {
    const int r = hid_send_feature_report(h, data, length);
    if (active()) {
        const QString plain = t_hasPlain ? hex(t_plain, 8) : QString();
        t_hasPlain = false;
        call(h, "set_feature", r, data, length, true, plain);
    }
    return r;
}

int getFeatureReport(hid_device *h, unsigned char *data, size_t length) {
    const int r = hid_get_feature_report(h, data, length);
    if (active())
        call(h, "get_feature", r, data, r > 0 ? size_t(r) : 0, false);
    return r;
}

int write(hid_device *h, const unsigned char *data, size_t length) {
    const int r = hid_write(h, data, length);
    if (active())
        call(h, "write", r, data, length, true);
    return r;
}

int readTimeout(hid_device *h, unsigned char *data, size_t length, int milliseconds) {
    const int r = hid_read_timeout(h, data, length, milliseconds);
    // A time-out moved nothing and is no exchange.
    if (r != 0 && active())
        call(h, "read", r, data, r > 0 ? size_t(r) : 0, false);
    return r;
}

} // namespace WireLog
