#pragma once

// The simulated mouse's judgement of the reports on its command interface:
// framing, checksums, the commands it knows with their length fields and
// ranges, the data reports each one takes or sends, and the pauses it needs
// between reports. The firmware model feeds it live reports; skarn-wirecheck
// feeds it the records of a trace. It keeps only protocol state, never the
// mouse's settings, and is not thread-safe (the owner serialises calls).

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace Wire {
QString hexBytes(const uint8_t *data, size_t len);
QString hexBytes(const QByteArray &a);
QString hex2(int v);
// The firmware's block scrambling; bytes 1..6 of `code` are used.
void scramble(uint8_t b[8], const uint8_t code[8]);
void unscramble(uint8_t b[8], const uint8_t code[8]);
uint8_t checksum(const uint8_t block[7]);
} // namespace Wire

struct ReportFormat {
    bool is560 = false;
    int reportLength = 32;
    bool isEncode = true;
    uint8_t code[8] = {};
    bool isGun = true;
};

class ReportChecks {
public:
    // The firmware needs this long after a feature report or a data report
    // before it can take the next data report.
    static constexpr qint64 kSettleMs = 100;

    using Sink = std::function<void(const QString &violation)>;

    // A command block the mouse received, and what it makes of it.
    struct Command {
        uint8_t block[8] = {};   // plain, as the mouse unscrambled it
        bool unreadable = false; // bad checksum or unknown opcode: it answers all zeros
        bool valid = false;      // in range: the mouse acts on it
        bool reply = false;      // a feature reply is due
        int dataReports = 0;     // data reports it sends for it
    };
    // A command whose payload is complete and in range.
    struct Payload {
        uint8_t block[8] = {};
        QByteArray data;
    };

    explicit ReportChecks(const ReportFormat &format = ReportFormat(), Sink sink = Sink());
    const ReportFormat &format() const { return m_format; }
    void setSink(Sink sink) { m_sink = std::move(sink); }

    // A feature report at time `t` (ms). Nothing when the mouse does not
    // take it: a wrong length, or `listening` false (a silent mouse, which
    // still forgets the exchange in progress).
    std::optional<Command> feature(const uint8_t *data, size_t len, qint64 t,
                                   bool listening = true);
    // An output report at time `t`; the payload once it is complete.
    std::optional<Payload> data(const uint8_t *data, size_t len, qint64 t);
    // A feature report fetched into a buffer of `len` bytes asking for report
    // `id`: -1 when the buffer cannot hold it, 0 when no reply is due, 1 when
    // one is (and is now taken).
    int getFeature(size_t len, uint8_t id);
    // A data report taken off the command interface: whether one was due. A
    // read that would wait for one that never comes is a violation.
    bool read(bool wouldWait);
    // The trace ended: a command still waiting for its data is a violation.
    void finish();
    // Power is gone: whatever exchange was under way is lost.
    void drop();

    static QString wrongInterface(const char *report);

private:
    void violation(const QString &text) const;
    Command command(const uint8_t *b);

    ReportFormat m_format;
    Sink m_sink;

    struct Pending {
        uint8_t block[8] = {};
        int total = 0;
        int chunk = 0;
        int expected = 0;
        int received = 0;
        bool discard = false;
        QByteArray data;
    };
    std::optional<Pending> m_pending;
    qint64 m_lastReportAt = 0;
    int m_lastCompletedOp =
        -1; // payload command whose data is complete, until the next feature report
    bool m_replyDue = false;
    int m_readsDue = 0; // data reports of a read not yet taken
    int m_readsOp = 0;
};
