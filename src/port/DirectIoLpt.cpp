#include "port/DirectIoLpt.h"

#include <cerrno>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#define VENTROLO_DIRECT_IO 1
#include <sys/io.h>
#endif

namespace port {

#ifdef VENTROLO_DIRECT_IO

namespace {

constexpr unsigned long RegistersPerPort = 3; // data, status, control

bool IsPortRegister(std::uint16_t address) {
    for (const auto base : platform::StandardLptAddresses) {
        if (address >= base && address < base + RegistersPerPort)
            return true;
    }
    return false;
}

} // namespace

std::unique_ptr<DirectIoLpt> DirectIoLpt::open(QString* error) {
    for (const auto base : platform::StandardLptAddresses) {
        if (::ioperm(base, RegistersPerPort, 1) != 0) {
            const int errorNumber = errno;
            for (const auto granted : platform::StandardLptAddresses)
                ::ioperm(granted, RegistersPerPort, 0);
            if (error)
                *error = QStringLiteral("cannot reach the I/O ports of the parallel port: %1 — "
                                        "run Ventrolo as root, or use ppdev (--lpt ppdev)")
                             .arg(QString::fromLocal8Bit(std::strerror(errorNumber)));
            return nullptr;
        }
    }
    return std::unique_ptr<DirectIoLpt>(new DirectIoLpt);
}

DirectIoLpt::~DirectIoLpt() {
    for (const auto base : platform::StandardLptAddresses)
        ::ioperm(base, RegistersPerPort, 0);
}

void DirectIoLpt::Out32(std::uint16_t address, std::uint8_t value) {
    if (IsPortRegister(address))
        ::outb(value, address);
}

std::uint8_t DirectIoLpt::Inp32(std::uint16_t address) {
    return IsPortRegister(address) ? ::inb(address) : 0;
}

#else

std::unique_ptr<DirectIoLpt> DirectIoLpt::open(QString* error) {
    if (error)
        *error = QStringLiteral("direct I/O port access exists only on x86 PCs — use ppdev "
                                "(--lpt ppdev)");
    return nullptr;
}

DirectIoLpt::~DirectIoLpt() = default;
void DirectIoLpt::Out32(std::uint16_t, std::uint8_t) {}
std::uint8_t DirectIoLpt::Inp32(std::uint16_t) {
    return 0;
}

#endif

} // namespace port
