#include "vna/QtVnaPort.h"

#include "vna/VnaLogging.h"

namespace vna {

namespace {

// A USB CDC device takes a few bytes at once; a write still pending after this long means the
// device is stuck or gone.
constexpr int WriteTimeoutMs = 500;

} // namespace

QString QtVnaPort::open(const QString& device) {
    close();
    device_ = device;
    gone_ = false;
    port_.setPortName(device);
    if (!port_.open(QIODevice::ReadWrite)) {
        QString why = device + QStringLiteral(": ") + port_.errorString();
        if (port_.error() == QSerialPort::PermissionError)
            why += QStringLiteral("\r\nAdd your user to the group dialout (sudo usermod -aG "
                                  "dialout $USER) and log in again.");
        port_.clearError();
        qCWarning(lcVna) << "cannot open" << why;
        return why;
    }
    const bool set = port_.setBaudRate(QSerialPort::Baud115200) &&
                     port_.setDataBits(QSerialPort::Data8) &&
                     port_.setParity(QSerialPort::NoParity) &&
                     port_.setStopBits(QSerialPort::OneStop) &&
                     port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!set) {
        const QString why = device + QStringLiteral(": ") + port_.errorString();
        port_.close();
        port_.clearError();
        return why;
    }
    qCInfo(lcVna) << "opened" << device;
    return {};
}

void QtVnaPort::close() {
    if (port_.isOpen())
        port_.close();
    port_.clearError();
}

bool QtVnaPort::noteError() {
    const QSerialPort::SerialPortError error = port_.error();
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError) {
        port_.clearError();
        return false;
    }
    qCWarning(lcVna) << device_ << "failed:" << port_.errorString();
    // A read or write error on a USB CDC port means the device went away: it never comes back
    // on the same open handle.
    gone_ = error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
            error == QSerialPort::WriteError || error == QSerialPort::DeviceNotFoundError;
    port_.clearError();
    return gone_;
}

bool QtVnaPort::write(const QByteArray& bytes) {
    if (!present())
        return false;
    if (port_.write(bytes) != bytes.size()) {
        noteError();
        return false;
    }
    while (port_.bytesToWrite() > 0) {
        if (!port_.waitForBytesWritten(WriteTimeoutMs)) {
            noteError();
            return false;
        }
    }
    return true;
}

QByteArray QtVnaPort::read() {
    if (!present())
        return {};
    // Without a running event loop the port reads the device only while it waits.
    if (!port_.waitForReadyRead(0))
        noteError();
    return port_.readAll();
}

} // namespace vna
