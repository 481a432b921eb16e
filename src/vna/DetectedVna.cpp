#include "vna/DetectedVna.h"

#include "vna/PortExchange.h"
#include "vna/ShellVna.h"
#include "vna/V2Codec.h"
#include "vna/V2Vna.h"
#include "vna/VnaLogging.h"

namespace vna {

namespace {

// Long enough for either dialect's answer to a carriage return.
constexpr double ProbeMs = 400;

} // namespace

DetectedVna::DetectedVna(std::unique_ptr<VnaPort> port, platform::Platform& platform,
                         QString device, Dialect dialect)
    : port_(std::move(port)), platform_(platform), device_(std::move(device)), dialect_(dialect) {}

DetectedVna::~DetectedVna() {
    close();
}

Result<Dialect> DetectedVna::detect() {
    PortExchange exchange(*port_, platform_);
    exchange.gather(ProbeMs / 4); // a banner sent at connecting is no answer
    if (!port_->write(v2::ResetBytes() + v2::IndicateCommand()))
        return Result<Dialect>::failure(PortExchange::FailureText(device_, PortExchange::Outcome::Gone));
    const QByteArray answer = exchange.gather(ProbeMs);
    if (answer.contains("ch>"))
        return {Dialect::Shell, {}};
    if (answer == QByteArray(1, v2::IndicateReply))
        return {Dialect::V2, {}};
    if (answer.isEmpty())
        return Result<Dialect>::failure(PortExchange::FailureText(device_, PortExchange::Outcome::Silent));
    return Result<Dialect>::failure(
        QStringLiteral("The device on %1 answers as no VNA Ventrolo knows (\"%2\").")
            .arg(device_, QString::fromLatin1(answer.toHex(' ').left(30))));
}

Result<VnaIdentity> DetectedVna::open() {
    close();
    if (const QString why = PortExchange(*port_, platform_).open(device_); !why.isEmpty())
        return Result<VnaIdentity>::failure(why);
    Dialect dialect = dialect_;
    if (dialect == Dialect::Auto) {
        const Result<Dialect> found = detect();
        if (!found.ok()) {
            port_->close();
            return Result<VnaIdentity>::failure(found.error);
        }
        dialect = *found.value;
        qCInfo(lcVna) << device_ << "answers in the" << (dialect == Dialect::V2 ? "V2" : "shell")
                      << "dialect";
    }
    if (dialect == Dialect::V2)
        speaker_ = std::make_unique<V2Vna>(*port_, platform_, device_);
    else
        speaker_ = std::make_unique<ShellVna>(*port_, platform_, device_);
    Result<VnaIdentity> identity = speaker_->open();
    if (!identity.ok())
        close();
    return identity;
}

Result<Sweep> DetectedVna::sweep(const SweepRequest& request) {
    if (!speaker_)
        return Result<Sweep>::failure(QStringLiteral("The VNA on %1 is not connected.").arg(device_));
    return speaker_->sweep(request);
}

void DetectedVna::abort() {
    if (speaker_)
        speaker_->abort();
}

void DetectedVna::close() {
    if (speaker_)
        speaker_->close();
    speaker_.reset();
    port_->close();
}

} // namespace vna
