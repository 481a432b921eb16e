#pragma once

#include <QObject>

class QSocketNotifier;

namespace core {

// Turns SIGTERM, SIGINT and SIGHUP (logout, shutdown, Ctrl+C) into a Qt signal on the GUI
// thread, so the program ends through its own exit path instead of dying mid-write. The
// handler itself only writes one byte to a socket. One instance per process.
class ShutdownSignals : public QObject {
    Q_OBJECT
public:
    explicit ShutdownSignals(QObject* parent = nullptr);
    ~ShutdownSignals() override;

signals:
    void shutdownRequested(int signalNumber);

private:
    void readSignal();

    QSocketNotifier* notifier_ = nullptr;
};

} // namespace core
