// The one file that speaks libgpiod (the v1 API of Debian 12's libgpiod 1.6): a port to
// another version of the library replaces this file only.
#include "port/GpioCalls.h"

#include <array>
#include <cerrno>
#include <gpiod.h>

namespace port {
namespace {

constexpr char Consumer[] = "ventrolo";

class GpiodLines final : public GpioLines {
public:
    explicit GpiodLines(gpiod_chip* chip) : chip_(chip) {
        gpiod_line_bulk_init(&outputs_);
        gpiod_line_bulk_init(&inputs_);
    }
    // Closing the chip gives back every line requested on it.
    ~GpiodLines() override { gpiod_chip_close(chip_); }
    GpiodLines(const GpiodLines&) = delete;
    GpiodLines& operator=(const GpiodLines&) = delete;

    // Takes offsets into bulk as outputs (driven low) or inputs; false with errno set.
    bool take(const std::vector<unsigned>& offsets, bool output, GpioBias bias) {
        if (offsets.empty())
            return true;
        gpiod_line_bulk& bulk = output ? outputs_ : inputs_;
        std::vector<unsigned> lines(offsets);
        if (gpiod_chip_get_lines(chip_, lines.data(), static_cast<unsigned>(lines.size()), &bulk) !=
            0)
            return false;
        gpiod_line_request_config config{};
        config.consumer = Consumer;
        config.request_type =
            output ? GPIOD_LINE_REQUEST_DIRECTION_OUTPUT : GPIOD_LINE_REQUEST_DIRECTION_INPUT;
        if (!output) {
            constexpr std::array<int, 3> biasFlags{GPIOD_LINE_REQUEST_FLAG_BIAS_PULL_UP,
                                                   GPIOD_LINE_REQUEST_FLAG_BIAS_PULL_DOWN,
                                                   GPIOD_LINE_REQUEST_FLAG_BIAS_DISABLE};
            config.flags = biasFlags[static_cast<std::size_t>(bias)];
        }
        const std::vector<int> low(offsets.size(), 0);
        return gpiod_line_request_bulk(&bulk, &config, low.data()) == 0;
    }

    bool setOutputs(const std::vector<int>& levels) override {
        if (levels.empty())
            return true;
        return gpiod_line_set_value_bulk(&outputs_, levels.data()) == 0;
    }
    bool readInputs(std::vector<int>& levels) override {
        levels.assign(gpiod_line_bulk_num_lines(&inputs_), 0);
        if (levels.empty())
            return true;
        return gpiod_line_get_value_bulk(&inputs_, levels.data()) == 0;
    }

private:
    gpiod_chip* chip_;
    gpiod_line_bulk outputs_;
    gpiod_line_bulk inputs_;
};

class GpiodCalls final : public GpioCalls {
public:
    std::unique_ptr<GpioLines> request(const GpioRequest& request, GpioFailure& failure) override {
        gpiod_chip* chip = gpiod_chip_open_lookup(request.chip.toLocal8Bit().constData());
        if (!chip) {
            failure = {QStringLiteral("open"), errno};
            return nullptr;
        }
        auto lines = std::make_unique<GpiodLines>(chip);
        if (!lines->take(request.outputs, true, request.bias) ||
            !lines->take(request.inputs, false, request.bias)) {
            failure = {QStringLiteral("request the lines of"), errno};
            return nullptr;
        }
        return lines;
    }
};

} // namespace

GpioCalls& SystemGpioCalls() {
    static GpiodCalls calls;
    return calls;
}

} // namespace port
