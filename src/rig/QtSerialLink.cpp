#include "rig/QtSerialLink.h"

#include "rig/RigLogging.h"
#include "rig/SerialDeviceMap.h"
#include "rig/SerialSettings.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <cmath>
#include <poll.h>
#include <utility>

namespace rig {

namespace {

// The system takes a few bytes into its buffer at once; a write still pending after this long
// means the device is stuck or gone.
constexpr int WriteTimeoutMs = 500;

QSerialPort::Parity ToParity(char parity) {
    switch (parity) {
    case 'E':
        return QSerialPort::EvenParity;
    case 'O':
        return QSerialPort::OddParity;
    case 'M':
        return QSerialPort::MarkParity;
    case 'S':
        return QSerialPort::SpaceParity;
    default:
        return QSerialPort::NoParity;
    }
}

} // namespace

QString OpenErrorText(const QString& device, const QString& systemError, bool permissionError) {
    QString text = device + QStringLiteral(": ") + systemError;
    if (permissionError)
        text += QStringLiteral("\r\nAdd your user to the group dialout (sudo usermod -aG dialout "
                               "$USER) and log in again.");
    return text;
}

QtSerialLink::QtSerialLink(QString programDirectory) : directory_(std::move(programDirectory)) {}

LinkOpenResult QtSerialLink::open(int port, const QString& settings) {
    close();
    const QString device = SerialDeviceMap::Load(directory_).devicePath(port);
    if (device.isEmpty())
        return {false, QStringLiteral("COM%1 is not one of the ports COM1 to COM4.").arg(port)};
    return openDevice(device, settings);
}

LinkOpenResult QtSerialLink::openDevice(const QString& device, const QString& settings) {
    close();
    const std::optional<SerialSettings> parsed = ParseSerialSettings(settings);
    if (!parsed)
        return {false, QStringLiteral("Invalid line settings \"%1\".").arg(settings)};
    port_.setPortName(device);
    if (!port_.open(QIODevice::ReadWrite)) {
        const bool permission = port_.error() == QSerialPort::PermissionError;
        const QString error = OpenErrorText(device, port_.errorString(), permission);
        port_.clearError();
        // A link that reopens by itself tries every few seconds: the log has the first failure
        // and the return, not every try.
        if (std::exchange(lastOpenFailure_, error) != error)
            qCWarning(lcRig) << "cannot open" << error;
        return {false, error};
    }
    const bool set =
        port_.setBaudRate(parsed->baudRate) &&
        port_.setDataBits(static_cast<QSerialPort::DataBits>(parsed->dataBits)) &&
        port_.setParity(ToParity(parsed->parity)) &&
        port_.setStopBits(parsed->stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop) &&
        port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!set) {
        const QString error = OpenErrorText(device, port_.errorString(), false);
        port_.close();
        port_.clearError();
        return {false, error};
    }
    device_ = device;
    lastOpenFailure_.clear();
    qCInfo(lcRig) << "opened" << device << settings;
    return {true, {}};
}

void QtSerialLink::close() {
    if (port_.isOpen())
        port_.close();
    port_.clearError();
}

bool QtSerialLink::setRts(bool on) {
    if (!isOpen())
        return false;
    if (port_.setRequestToSend(on))
        return true;
    port_.clearError();
    return false;
}

bool QtSerialLink::setDtr(bool on) {
    if (!isOpen())
        return false;
    if (port_.setDataTerminalReady(on))
        return true;
    port_.clearError();
    return false;
}

void QtSerialLink::takeReceived() {
    // Without a running event loop the port reads the device only while it waits.
    if (!port_.waitForReadyRead(0))
        port_.clearError();
}

qint64 QtSerialLink::bytesWaiting() {
    if (!isOpen())
        return 0;
    takeReceived();
    return port_.bytesAvailable();
}

void QtSerialLink::discardInput() {
    if (isOpen())
        port_.clear(QSerialPort::Input);
}

QByteArray QtSerialLink::readAll() {
    if (!isOpen())
        return {};
    takeReceived();
    return port_.readAll();
}

QString QtSerialLink::failure() const {
    // A device that hung up reads as the end of the line, which sets no errno: the port's text
    // then names whatever failed last anywhere in the program ("File exists"). The device and
    // its descriptor tell what happened.
    if (!QFileInfo::exists(device_))
        return QStringLiteral("the device is gone");
    pollfd hangUp{int(port_.handle()), 0, 0};
    if (::poll(&hangUp, 1, 0) > 0 && (hangUp.revents & (POLLHUP | POLLERR | POLLNVAL)))
        return QStringLiteral("the device hung up");
    return port_.errorString();
}

bool QtSerialLink::write(const QByteArray& bytes) {
    if (!isOpen())
        return false;
    bool written = port_.write(bytes) == bytes.size();
    while (written && port_.bytesToWrite() > 0)
        written = port_.waitForBytesWritten(WriteTimeoutMs);
    if (!written) {
        qCWarning(lcRig).noquote() << "write to" << device_ << "failed:" << failure();
        port_.clearError();
    }
    return written;
}

void QtSerialLink::onArrival(std::function<void()> arrived) {
    QObject::disconnect(arrival_);
    // Queued: the reader must not be entered again from inside its own read.
    if (arrived)
        arrival_ = QObject::connect(&port_, &QSerialPort::readyRead, &port_, std::move(arrived),
                                    Qt::QueuedConnection);
}

} // namespace rig
