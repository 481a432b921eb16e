#pragma once

#include "port/GpioPinMap.h"

#include <QString>
#include <memory>
#include <vector>

namespace port {

// Lines of one GPIO chip held for the program: the outputs and the inputs of one request.
// Levels are 0 or 1 as on the pin, in the order the lines were requested. The lines are given
// back when the object is destroyed.
class GpioLines {
public:
    virtual ~GpioLines() = default;
    // false (errno set) when the chip no longer takes them.
    virtual bool setOutputs(const std::vector<int>& levels) = 0;
    virtual bool readInputs(std::vector<int>& levels) = 0;
};

struct GpioRequest {
    QString chip;
    std::vector<unsigned> outputs; // driven low from the request on
    std::vector<unsigned> inputs;
    GpioBias bias = GpioBias::PullUp; // of the inputs
};

// What failed, for the user: "open", "request the lines of"; the system's errno.
struct GpioFailure {
    QString action;
    int errorNumber = 0;
};

// The GPIO library the lines are reached through; tests put lines of their own behind it.
// The only implementation that touches the library is in GpiodCalls.cpp.
class GpioCalls {
public:
    virtual ~GpioCalls() = default;
    // The lines of request; null with failure set when the chip or a line cannot be had.
    virtual std::unique_ptr<GpioLines> request(const GpioRequest& request,
                                               GpioFailure& failure) = 0;
};
// The kernel's GPIO character device through libgpiod.
GpioCalls& SystemGpioCalls();

} // namespace port
