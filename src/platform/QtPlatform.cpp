#include "platform/QtPlatform.h"

#include <QApplication>
#include <QColorDialog>
#include <QEventLoop>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>
#include <ctime>
#include <sys/prctl.h>

namespace platform {

QtPlatform::QtPlatform() {
    // Sleeps and timers of this (the GUI) thread end when asked, not up to 50 us later: the
    // turning loops time their steps with them.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    clock_.start();
}

double QtPlatform::steadyMs() const {
    return clock_.nsecsElapsed() / 1.0e6;
}

QDateTime QtPlatform::now() const {
    return QDateTime::currentDateTime();
}

namespace {

// The event loop's timers wake it up to a millisecond late: it is left this long before a
// deadline, and the rest is slept precisely.
constexpr double EventLoopMarginMs = 2.0;
// The last stretch before a deadline is spun: a sleep this short overshoots by about as much.
constexpr double SpinMs = 0.05;

} // namespace

void QtPlatform::sleepUntil(double deadlineMs) const {
    for (;;) {
        const double rest = deadlineMs - steadyMs();
        if (rest <= 0)
            return;
        if (rest > SpinMs) {
            const auto ns = static_cast<long>((rest - SpinMs) * 1.0e6);
            const timespec request{ns / 1'000'000'000L, ns % 1'000'000'000L};
            ::nanosleep(&request, nullptr);
        }
    }
}

void QtPlatform::waitUntil(double deadlineMs, bool yield) {
    if (deadlineMs <= steadyMs())
        return;
    if (yield) {
        for (;;) {
            const double untilMargin = deadlineMs - EventLoopMarginMs - steadyMs();
            if (untilMargin < 1.0)
                break;
            // Serve events until a timer wakes the loop shortly before the deadline.
            QEventLoop loop;
            QTimer wake;
            wake.setSingleShot(true);
            wake.setTimerType(Qt::PreciseTimer);
            QObject::connect(&wake, &QTimer::timeout, &loop, &QEventLoop::quit);
            wake.start(static_cast<int>(untilMargin));
            loop.exec(QEventLoop::AllEvents);
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    sleepUntil(deadlineMs);
}

namespace {

class QtTimer final : public Timer {
public:
    explicit QtTimer(std::function<void()> onTimeout) {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [fn = std::move(onTimeout)] { fn(); });
    }
    void start(int intervalMs) override { timer_.start(intervalMs); }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }
    int interval() const override { return timer_.interval(); }

private:
    QTimer timer_;
};

} // namespace

std::unique_ptr<Timer> QtPlatform::createTimer(std::function<void()> onTimeout) {
    return std::make_unique<QtTimer>(std::move(onTimeout));
}

void QtPlatform::processEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtPlatform::beep() {
    QApplication::beep();
}

Answer QtPlatform::messageBox(const QString& text, const QString& title, Icon icon,
                              Buttons buttons) {
    QMessageBox box(dialogParent_);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
}

QString QtPlatform::inputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(dialogParent_, title, prompt, QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

std::optional<std::int32_t> QtPlatform::chooseColor(std::int32_t initial) {
    const auto bgr = static_cast<std::uint32_t>(initial);
    const QColor start(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
    const QColor chosen = QColorDialog::getColor(start, dialogParent_);
    if (!chosen.isValid())
        return std::nullopt;
    return static_cast<std::int32_t>(chosen.red() | (chosen.green() << 8) | (chosen.blue() << 16));
}

} // namespace platform
