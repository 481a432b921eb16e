#pragma once

#include <QLoggingCategory>
#include <QString>
#include <QStringList>

namespace test_support {

// The log lines written while it lives, as "category: message", kept from the terminal. One
// at a time, on the test's thread.
class LogCapture {
public:
    LogCapture() : previous_(qInstallMessageHandler(&LogCapture::take)) { current() = this; }
    ~LogCapture() {
        qInstallMessageHandler(previous_);
        current() = nullptr;
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const QStringList& lines() const { return lines_; }
    // The lines that hold part.
    QStringList with(const QString& part) const { return lines_.filter(part); }
    // The messages of one category, without its name.
    QStringList of(const QString& category) const {
        const QString prefix = category + QStringLiteral(": ");
        QStringList messages;
        for (const QString& line : lines_) {
            if (line.startsWith(prefix))
                messages << line.mid(prefix.size());
        }
        return messages;
    }
    QString text() const { return lines_.join(QLatin1Char('\n')); }

private:
    static LogCapture*& current() {
        static LogCapture* capture = nullptr;
        return capture;
    }
    static void take(QtMsgType, const QMessageLogContext& context, const QString& message) {
        if (LogCapture* capture = current())
            capture->lines_ << QString::fromUtf8(context.category ? context.category : "") +
                                   QStringLiteral(": ") + message;
    }

    QtMessageHandler previous_;
    QStringList lines_;
};

} // namespace test_support
