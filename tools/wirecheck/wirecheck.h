#pragma once

// Checks a wire trace: each record of a JSON-lines trace as the mouse would
// have taken it, through the simulated mouse's report checks.

#include "report_checks.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace WireCheck {

// What the options fix; whatever is left open is inferred from the trace.
struct Settings {
    std::optional<bool> is560;
    std::optional<int> reportLength;
    std::optional<bool> scrambled;
    std::optional<QByteArray> code; // six characters
    bool isGun = true;
};

struct Result {
    ReportFormat format;
    bool codeKnown = false; // scrambled, and the code was given or found
    int records = 0;
    int failedCalls = 0;     // hidapi calls that failed on the user's machine
    int unreadableLines = 0; // lines that are no wire record
    QStringList problems;    // "LINE: text", in trace order
};

// `lines` are the lines of the trace; line numbers count from 1.
Result check(const QList<QByteArray> &lines, const Settings &settings);

} // namespace WireCheck
