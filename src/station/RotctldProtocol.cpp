#include "station/RotctldProtocol.h"

#include <QList>
#include <array>
#include <cmath>

namespace station {

namespace {

struct CommandName {
    RotctldCommand command;
    char shortName; // 0: none
    const char* longName;
    int argumentCount;
};

// Quit stays last: Q finds it there.
constexpr std::array<CommandName, 9> Commands{{
    {RotctldCommand::SetPos, 'P', "set_pos", 2},
    {RotctldCommand::GetPos, 'p', "get_pos", 0},
    {RotctldCommand::Stop, 'S', "stop", 0},
    {RotctldCommand::Park, 'K', "park", 0},
    {RotctldCommand::Move, 'M', "move", 2},
    {RotctldCommand::GetInfo, '_', "get_info", 0},
    {RotctldCommand::DumpState, 0, "dump_state", 0},
    {RotctldCommand::GetStatus, 's', "get_status", 0},
    {RotctldCommand::Quit, 'q', "quit", 0},
}};

const CommandName* Find(const QByteArray& token) {
    if (token == "Q")
        return &Commands.back();
    for (const CommandName& name : Commands) {
        if (token.size() == 1 && name.shortName != 0 && token[0] == name.shortName)
            return &name;
        if (token.startsWith('\\') && token.mid(1) == name.longName)
            return &name;
    }
    return nullptr;
}

// A decimal number as C formats it. A comma is no part of one: "1,000" could be a thousand or
// one, and a wrong guess turns the antenna. Infinities and NaN are no position.
std::optional<double> Number(const QByteArray& token) {
    if (token.contains(','))
        return std::nullopt;
    bool ok = false;
    const double value = token.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<RotctldDirection> Direction(const QByteArray& token) {
    const QByteArray name = token.toUpper();
    if (name == "LEFT" || name == "CCW")
        return RotctldDirection::Left;
    if (name == "RIGHT" || name == "CW")
        return RotctldDirection::Right;
    if (name == "UP")
        return RotctldDirection::Up;
    if (name == "DOWN")
        return RotctldDirection::Down;
    bool ok = false;
    const int number = token.toInt(&ok);
    for (const auto direction : {RotctldDirection::Up, RotctldDirection::Down,
                                 RotctldDirection::Left, RotctldDirection::Right}) {
        if (ok && number == static_cast<int>(direction))
            return direction;
    }
    return std::nullopt;
}

std::optional<int> Speed(const QByteArray& token) {
    bool ok = false;
    const int speed = token.toInt(&ok);
    if (!ok || (speed != RotctldSpeedAsIs && (speed < 1 || speed > 100)))
        return std::nullopt;
    return speed;
}

} // namespace

RotctldRequest ParseRotctldLine(QByteArrayView line) {
    RotctldRequest request;
    QByteArray text = line.toByteArray().trimmed();
    if (text.isEmpty())
        return request;
    const char first = text[0];
    if (first == '+' || first == ';' || first == '|' || first == ',') {
        request.separator = first == '+' ? '\n' : first;
        text = text.mid(1).trimmed();
    }
    const QList<QByteArray> tokens = text.simplified().split(' ');
    const CommandName* name = tokens.front().isEmpty() ? nullptr : Find(tokens.front());
    if (!name) {
        request.command = RotctldCommand::Unknown;
        return request;
    }
    request.command = name->command;
    request.arguments = tokens.mid(1).join(' ');
    request.valid = tokens.size() - 1 == name->argumentCount;
    if (request.valid && name->command == RotctldCommand::SetPos) {
        const auto azimuth = Number(tokens[1]);
        const auto elevation = Number(tokens[2]);
        request.valid = azimuth && elevation;
        request.azimuth = azimuth.value_or(0);
        request.elevation = elevation.value_or(0);
    }
    if (request.valid && name->command == RotctldCommand::Move) {
        const auto direction = Direction(tokens[1]);
        const auto speed = Speed(tokens[2]);
        request.valid = direction && speed;
        request.direction = direction.value_or(RotctldDirection::Left);
        request.speed = speed.value_or(RotctldSpeedAsIs);
    }
    return request;
}

QByteArray RotctldReply(const RotctldRequest& request, int status,
                        const std::vector<RotctldValue>& values) {
    const QByteArray rprt = "RPRT " + QByteArray::number(status) + '\n';
    const CommandName* name = nullptr;
    for (const CommandName& n : Commands) {
        if (n.command == request.command)
            name = &n;
    }
    if (!request.separator || !name) {
        if (status != RotctldOk || values.empty())
            return rprt;
        QByteArray reply;
        for (const RotctldValue& v : values)
            reply += v.plainKey + v.value + '\n';
        return reply;
    }
    const char separator = *request.separator;
    QByteArray reply = QByteArray(name->longName) + ':';
    if (!request.arguments.isEmpty())
        reply += ' ' + request.arguments;
    reply += separator;
    if (status == RotctldOk) {
        for (const RotctldValue& v : values)
            reply += (v.key.isEmpty() ? v.plainKey + v.value : v.key + ": " + v.value) + separator;
    }
    return reply + rprt;
}

} // namespace station
