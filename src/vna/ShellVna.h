#pragma once

#include "vna/SerialVna.h"

namespace vna {

// A NanoVNA, -H or -H4 through its text shell. The firmware's own answers choose how it is
// swept: `scan_bin` where `help` lists it (the fastest), else `scan` with an output mask,
// else, on the oldest firmwares whose `scan` prints nothing, `scan` followed by
// `frequencies` and `data 0`. The device's own sweep is paused while connected; at closing
// its range (which a scan changes) is set back with `sweep` and it is resumed.
class ShellVna final : public SerialVna {
public:
    using SerialVna::SerialVna;

    Result<VnaIdentity> open() override;
    Result<Sweep> sweep(const SweepRequest& request) override;
    void close() override;

private:
    enum class ScanForm { Binary, Text, Legacy };

    // The output lines of command, or the error text when the reply is not whole.
    Result<QStringList> command(const QString& text, double timeoutMs);
    Result<Sweep> scanLegacy(const SweepRequest& request, double timeoutMs);

    ScanForm form_ = ScanForm::Text;
    int maxPoints_ = 101;
    QString ownSweep_; // "start stop points" as `sweep` told them at opening; empty: unknown
};

} // namespace vna
