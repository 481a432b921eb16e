#pragma once

#include <QByteArray>
#include <QTest>
#include <functional>

// Small helpers the rig tests share.
namespace test_support {

// The bytes a hex text writes out ("FE FE" or "fefe").
inline QByteArray Hex(const char* hex) {
    return QByteArray::fromHex(hex);
}

// Runs the event loop until condition holds; false when it still does not after timeoutMs.
inline bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 15000) {
    return QTest::qWaitFor(condition, timeoutMs);
}

} // namespace test_support
