#include "wirecheck.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

namespace WireCheck {
namespace {

struct Record {
    int line = 0;
    qint64 t = 0;
    int dev = 0;
    bool event = false;
    QString op;
    QByteArray data;
    std::optional<QByteArray> plain;
    bool failed = false;
};

QByteArray fromHex(const QJsonValue &v, bool &ok) {
    const QByteArray text = v.toString().toLatin1();
    const QByteArray bytes = QByteArray::fromHex(text);
    // fromHex skips what is not hex; a damaged field must not pass as shorter.
    ok = v.isString() && bytes.size() * 3 - 1 == text.size();
    return bytes;
}

// One trace line as a record; an error text when it is not one.
std::optional<Record> parse(const QByteArray &line, int number, QString &error) {
    QJsonParseError pe{};
    const QJsonDocument doc = QJsonDocument::fromJson(line, &pe);
    if (!doc.isObject()) {
        error = QStringLiteral("not a wire record (%1)").arg(pe.errorString());
        return std::nullopt;
    }
    const QJsonObject o = doc.object();
    Record r;
    r.line = number;
    r.op = o.value("op").toString();
    const QString iface = o.value("iface").toString();
    if (r.op.isEmpty() || (iface != "command" && iface != "event") || !o.value("t").isDouble()) {
        error = QStringLiteral("not a wire record (it needs \"t\", \"iface\" and \"op\")");
        return std::nullopt;
    }
    r.t = qint64(o.value("t").toDouble());
    r.dev = o.value("dev").toInt(0);
    r.event = iface == "event";
    r.failed = r.op == "open-failed" || o.value("text").toString().startsWith("failed");
    bool ok = true;
    if (o.contains("data") && !o.value("data").toString().isEmpty())
        r.data = fromHex(o.value("data"), ok);
    if (ok && o.contains("plain"))
        r.plain = fromHex(o.value("plain"), ok);
    if (!ok || (r.plain && r.plain->size() != 8)) {
        error = QStringLiteral("not a wire record (its bytes are not hex pairs)");
        return std::nullopt;
    }
    return r;
}

bool isCommand(const Record &r, const char *op) {
    return !r.event && !r.failed && r.op == QLatin1String(op) && !r.data.isEmpty();
}

// The code that turns `plain` into the scrambled `sent` block: unscrambling
// with a zero code leaves the plain block combined with the code, in the
// positions the first step of scrambling swaps it to.
QByteArray codeOf(const QByteArray &sent, const QByteArray &plain) {
    uint8_t b[8];
    const uint8_t zero[8] = {};
    memcpy(b, sent.constData() + 1, 8);
    Wire::unscramble(b, zero);
    uint8_t x[8];
    for (int i = 0; i < 8; ++i)
        x[i] = uint8_t(b[i] ^ uint8_t(plain[i]));
    const int pair[8] = {5, 4, 7, 6, 1, 0, 3, 2};
    QByteArray code(6, '\0');
    for (int i = 1; i <= 6; ++i)
        code[i - 1] = char(x[pair[i]]);
    return code;
}

std::optional<bool> familyOf(uint8_t op) {
    switch (op) {
    case 0x0B:
    case 0x10:
    case 0x11:
    case 0x12:
    case 0x13:
    case 0x83:
    case 0x8B:
        return false;
    case 0x0F:
    case 0x81:
    case 0x82:
    case 0x84:
    case 0x8C:
        return true;
    }
    return std::nullopt;
}

void infer(const std::vector<Record> &records, const Settings &s, Result &res) {
    ReportFormat &f = res.format;
    f.isGun = s.isGun;
    std::optional<int> length = s.reportLength;
    std::optional<bool> scrambled = s.scrambled;
    std::optional<QByteArray> code = s.code;
    if (code)
        scrambled = true;
    // Each scrambled block with its plain form gives the code; the most
    // frequent answer wins, so one damaged record cannot mislead the rest.
    std::map<QByteArray, int> votes;
    for (const Record &r : records) {
        if (!length && isCommand(r, "write"))
            length = r.data.size() - 1;
        if (!length && isCommand(r, "read"))
            length = r.data.size();
        if (isCommand(r, "set_feature") && r.data.size() == 9) {
            if (!scrambled)
                scrambled = bool(r.plain);
            if (*scrambled && r.plain)
                ++votes[codeOf(r.data, *r.plain)];
        }
    }
    if (!code && !votes.empty())
        code = std::max_element(votes.begin(), votes.end(), [](const auto &a, const auto &b) {
                   return a.second < b.second;
               })->first;
    f.reportLength = length.value_or(32);
    f.isEncode = scrambled.value_or(false);
    if (code) {
        memcpy(f.code + 1, code->constData(), size_t(std::min<int>(6, int(code->size()))));
        res.codeKnown = true;
    }
    if (s.is560) {
        f.is560 = *s.is560;
        return;
    }
    for (const Record &r : records) {
        if (!isCommand(r, "set_feature") || r.data.size() != 9)
            continue;
        uint8_t b[8];
        memcpy(b, r.data.constData() + 1, 8);
        if (f.isEncode)
            Wire::unscramble(b, f.code);
        if (const auto family = familyOf(b[0])) {
            f.is560 = *family;
            return;
        }
    }
}

} // namespace

Result check(const QList<QByteArray> &lines, const Settings &settings) {
    Result res;
    std::vector<Record> records;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        if (line.isEmpty())
            continue;
        QString error;
        if (auto r = parse(line, i + 1, error))
            records.push_back(*r);
        else {
            ++res.unreadableLines;
            res.problems << QStringLiteral("%1: %2").arg(i + 1).arg(error);
        }
    }
    res.records = int(records.size());
    infer(records, settings, res);

    int line = 0;
    std::map<int, std::unique_ptr<ReportChecks>> mice;
    auto mouse = [&](int dev) -> ReportChecks & {
        auto &m = mice[dev];
        if (!m)
            m = std::make_unique<ReportChecks>(res.format, [&](const QString &text) {
                res.problems << QStringLiteral("%1: %2").arg(line).arg(text);
            });
        return *m;
    };
    for (const Record &r : records) {
        line = r.line;
        if (r.failed) {
            ++res.failedCalls;
            continue;
        }
        const auto *bytes = reinterpret_cast<const uint8_t *>(r.data.constData());
        const size_t len = size_t(r.data.size());
        if (r.event) {
            if (r.op == "set_feature")
                res.problems << QStringLiteral("%1: %2").arg(line).arg(
                    ReportChecks::wrongInterface("feature report"));
            else if (r.op == "write")
                res.problems << QStringLiteral("%1: %2").arg(line).arg(
                    ReportChecks::wrongInterface("data report"));
            continue;
        }
        if (r.op == "set_feature")
            mouse(r.dev).feature(bytes, len, r.t);
        else if (r.op == "write")
            mouse(r.dev).data(bytes, len, r.t);
        else if (r.op == "get_feature" && len > 0)
            mouse(r.dev).getFeature(len, bytes[0]);
        else if (r.op == "read" && len > 0)
            mouse(r.dev).read(true);
    }
    line = records.empty() ? 0 : records.back().line;
    for (auto &m : mice)
        m.second->finish();
    return res;
}

} // namespace WireCheck
