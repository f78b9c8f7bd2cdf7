#pragma once

// What skarn-mousectl and the running program say to each other over the
// single-instance socket.
//
// A request is a single-instance message: kRequestPrefix, then a JSON object
// {"command": NAME, ...fields}. The program answers with the byte kReplyTag,
// a 4-byte big-endian length and that many bytes of a JSON object
// {"status": N, "message": TEXT, "data": {...}}.
namespace CtlProtocol {

inline constexpr char kRequestPrefix[] = "skarn-mousectl\n";
inline constexpr char kReplyTag = 'r';

// Exit statuses of skarn-mousectl; the program answers with one of them.
enum Status {
    Done = 0,
    Usage = 1,
    Refused = 2,
    NoMouse = 3,
    NoAnswer = 4,
};

// The report rates the mouse offers, in the order of their stored index.
inline constexpr int kRates[] = {125, 250, 500, 1000};

} // namespace CtlProtocol
