#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>
#include <vector>

// Hamlib's rotctld protocol as rotctl -m 2, gpredict and loggers speak it: one command per line,
// a short name ("P 90 0") or a long one ("\set_pos 90 0"). A leading '+', ';', '|' or ',' asks
// for the extended response: the command echoed, "Key: value" lines and "RPRT n", separated by a
// newline for '+' and by the character itself otherwise, the whole ended by a newline. Bytes in,
// values out; the server does the I/O.
namespace station {

enum class RotctldCommand {
    Blank,     // an empty line: no answer
    SetPos,    // P az el
    GetPos,    // p
    Stop,      // S
    Park,      // K
    Move,      // M direction speed: towards the limit that way until S or P
    GetInfo,   // _
    DumpState, // \dump_state, asked by rotctl -m 2 when it connects
    Quit,      // q, Q: the connection ends without an answer
    Unknown,   // anything else, answered "not implemented"
    GetStatus, // s: Hamlib's status flags, "MOVING MOVING_AZ MOVING_RIGHT"; blank when settled
};

// The directions of M, numbered as Hamlib numbers them.
enum class RotctldDirection : int { Up = 2, Down = 4, Left = 8, Right = 16 };
// The speed of M that keeps the speed in force.
constexpr int RotctldSpeedAsIs = -1;

// Hamlib's status codes, as "RPRT n" carries them.
enum RotctldStatus : int {
    RotctldOk = 0,
    RotctldInvalidParameter = -1,
    RotctldNotImplemented = -4,
    RotctldIoError = -6,  // the port cannot make the steps
    RotctldRejected = -9, // the rig transmits: the loop does not turn
    RotctldNotAvailable = -11,
};

struct RotctldRequest {
    RotctldCommand command = RotctldCommand::Blank;
    // The extended response's separator; nullopt for the plain response.
    std::optional<char> separator;
    // The arguments as sent, joined by single blanks (the extended response echoes them).
    QByteArray arguments;
    // False when the arguments are not what the command takes (count or numbers).
    bool valid = true;
    double azimuth = 0;   // degrees, finite (SetPos)
    double elevation = 0; // degrees, finite (SetPos)
    // Move: the direction, and the speed from 1 (slowest) to 100 (fastest) or RotctldSpeedAsIs.
    RotctldDirection direction = RotctldDirection::Left;
    int speed = RotctldSpeedAsIs;
};

// One line of a client, with or without its line end. M takes a direction as a number or as
// rotctl names it (LEFT or CCW, RIGHT or CW, UP, DOWN) and a whole speed. Never fails: what
// cannot be read is an Unknown command or a request that is not valid.
RotctldRequest ParseRotctldLine(QByteArrayView line);

// A value of an answer: plain, the line is plainKey + value; extended, key + ": " + value, or
// the plain line when key is empty.
struct RotctldValue {
    QByteArray key;
    QByteArray value;
    QByteArray plainKey = {};
};

// The answer to a request. Plain: the values one per line, or "RPRT status" alone when the
// command answers no values or failed. Extended: the echo, the values (only on success) and
// "RPRT status".
QByteArray RotctldReply(const RotctldRequest& request, int status,
                        const std::vector<RotctldValue>& values = {});

} // namespace station
