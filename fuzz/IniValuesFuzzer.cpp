// The values of Ventrolo.ini in a file of sound lines: the input is the values of backend,
// port888, port956, port632 and COM1..COM4, one per line; a value that starts with the byte 01
// leaves its key out.
#include "IniCheck.h"

#include <QList>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const char* const keys[] = {"backend", "port888", "port956", "port632",
                                       "COM1",    "COM2",    "COM3",    "COM4"};
    const QList<QByteArray> values = fuzz::Bytes(data, size).split('\n');
    QByteArray file = "[lpt]\n";
    for (int i = 0; i < 8; ++i) {
        if (i == 4)
            file += "[serial]\n";
        QByteArray value = i < values.size() ? values[i] : QByteArray("\x01");
        value.replace('\r', QByteArray());
        if (!value.startsWith('\x01'))
            file += keys[i] + QByteArray("=") + value + "\n";
    }
    fuzz::CheckIniFile(file);
    return 0;
}
