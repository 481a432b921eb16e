#include "port/PortLogLpt.h"

#include <QFile>
#include <QLoggingCategory>

namespace port {

Q_LOGGING_CATEGORY(lcPortLog, "ventrolo.port.log")

PortLogLpt::PortLogLpt(std::unique_ptr<platform::LptPort> inner, std::unique_ptr<QIODevice> log,
                       std::function<double()> clockMs)
    : inner_(std::move(inner)), log_(std::move(log)), clockMs_(std::move(clockMs)),
      startMs_(clockMs_()) {}

void PortLogLpt::Out32(std::uint16_t address, std::uint8_t value) {
    inner_->Out32(address, value);
    if (!log_)
        return;
    const QByteArray line =
        QString::asprintf("%.3f %u %u\n", clockMs_() - startMs_, unsigned(address), unsigned(value))
            .toLatin1();
    // Each line reaches the file at once, so a crash loses none.
    auto* file = qobject_cast<QFile*>(log_.get());
    if (log_->write(line) == line.size() && (!file || file->flush()))
        return;
    const QString text = QStringLiteral("The port log could not be written: %1. Logging stops.")
                             .arg(log_->errorString());
    qCWarning(lcPortLog).noquote() << text;
    log_.reset();
    if (onLogFailure)
        onLogFailure(text);
}

} // namespace port
