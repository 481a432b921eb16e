// Ventrolo.ini as a whole, damaged any way.
#include "IniCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::CheckIniFile(fuzz::Bytes(data, size));
    return 0;
}
