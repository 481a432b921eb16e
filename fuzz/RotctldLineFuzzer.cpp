// The rotctld line parser and its answers: what a client sends, line by line as the server
// reads it, and each line answered plain and extended, with and without values.
#include "FuzzSupport.h"
#include "station/RotctldProtocol.h"

#include <QList>
#include <cmath>

namespace {

void Check(QByteArrayView line) {
    const station::RotctldRequest request = station::ParseRotctldLine(line);
    if (request.command == station::RotctldCommand::SetPos && request.valid)
        FUZZ_CHECK(std::isfinite(request.azimuth) && std::isfinite(request.elevation));
    // The echo of a client's arguments never starts a line of its own in the answer.
    FUZZ_CHECK(!request.arguments.contains('\n') && !request.arguments.contains('\r'));
    using station::RotctldCommand;
    const bool extended = request.separator && request.command != RotctldCommand::Blank &&
                          request.command != RotctldCommand::Unknown;
    const std::vector<station::RotctldValue> values{{"Azimuth", "90.000000"},
                                                    {"Elevation", "0.000000"}};
    for (const int status : {int(station::RotctldOk), int(station::RotctldInvalidParameter)}) {
        for (const bool withValues : {false, true}) {
            const QByteArray reply = station::RotctldReply(
                request, status, withValues ? values : std::vector<station::RotctldValue>{});
            const QByteArray rprt = "RPRT " + QByteArray::number(status) + '\n';
            const bool answersValues = status == station::RotctldOk && withValues;
            if (!extended) {
                // Plain: the values one per line, else RPRT alone.
                FUZZ_CHECK(answersValues ? reply.count('\n') == 2 : reply == rprt);
                continue;
            }
            FUZZ_CHECK(reply.endsWith(rprt));
            // On lines: the echo, the values on success, RPRT.
            if (*request.separator == '\n')
                FUZZ_CHECK(reply.count('\n') == (answersValues ? 4 : 2));
        }
    }
}
} // namespace
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    Check(bytes); // the whole input as one line, control bytes and all
    for (const QByteArray& line : bytes.split('\n'))
        Check(line);
    return 0;
}
