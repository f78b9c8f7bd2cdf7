// The wire log: every call on the hidapi stand-in as one record, the newest
// ones in memory, all of them in the log file as JSON lines.

#include "virtual_mouse_p.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cerrno>
#include <cstring>

namespace {

// The newest wire records kept in memory; the log file gets every one. The
// event reader alone adds a few records a second for as long as the program
// runs, while a test looks at no more than one start-up's worth.
constexpr size_t kMaxRecords = 2048;

} // namespace

QJsonObject VirtualMousePrivate::Record::json() const {
    QJsonObject r{{"t", double(t)},
                  {"dev", dev},
                  {"iface", QString::fromLatin1(iface)},
                  {"op", QString::fromLatin1(op)}};
    if (!data.isNull())
        r.insert("data", data);
    if (!plain.isNull())
        r.insert("plain", plain);
    if (!text.isNull())
        r.insert("text", text);
    return r;
}

void VirtualMousePrivate::record(int dev, const char *iface, const char *op, const QString &data,
                                 const QString &text, const QString &plain) {
    log.push_back(Record{now(), dev, iface, op, data, text, plain});
    if (log.size() > kMaxRecords)
        log.pop_front();
    if (logFile) {
        const QByteArray line = QJsonDocument(log.back().json()).toJson(QJsonDocument::Compact);
        fwrite(line.constData(), 1, size_t(line.size()), logFile);
        fputc('\n', logFile);
        fflush(logFile);
    }
}

void VirtualMousePrivate::violation(int dev, bool event, const QString &text) {
    violations.append(text);
    record(dev, event ? "event" : "command", "violation", QString(), text);
}

void VirtualMousePrivate::openLogFile(const QByteArray &path) {
    closeLogFile();
    if (path.isEmpty())
        return;
    logFile = fopen(path.constData(), "w");
    if (!logFile)
        fprintf(stderr, "virtual mouse: cannot write log %s: %s\n", path.constData(),
                strerror(errno));
}

void VirtualMousePrivate::closeLogFile() {
    if (logFile)
        fclose(logFile);
    logFile = nullptr;
}

QJsonArray VirtualMouse::wireLog() const {
    std::lock_guard<std::mutex> l(m_d->m);
    QJsonArray out;
    for (const auto &r : m_d->log)
        out.append(r.json());
    return out;
}

void VirtualMouse::clearWireLog() {
    std::lock_guard<std::mutex> l(m_d->m);
    m_d->log.clear();
}

QStringList VirtualMouse::violations() const {
    std::lock_guard<std::mutex> l(m_d->m);
    return m_d->violations;
}

void VirtualMouse::clearViolations() {
    std::lock_guard<std::mutex> l(m_d->m);
    m_d->violations.clear();
}
