#pragma once

#include "core/ProgramState.h"
#include "platform/Platform.h"
#include "rig/RigModel.h"

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QString>

namespace rig {

// Direction of a logged exchange.
enum class CatDirection : int { Transmit = 0, Receive = -1 };

// The CAT traffic as text: the terminal buffer the CAT terminal shows, and the log file
// VentroCat.log in the program directory. Nothing is logged while the terminal is not shown.
class CatLog : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype TerminalBufferLimit = 3072; // characters kept, the newest
    static constexpr int TerminalViewLines = 51;

    // The header names the model of state.RigModel.
    CatLog(const core::ProgramState& state, platform::Platform& platform, QString programDirectory);
    ~CatLog() override;

    // Set by the CAT terminal while it is shown (the table window's terminal menu checked).
    void setTerminalShown(bool shown) { terminalShown_ = shown; }

    // "hh:mm:ss TX> 0,0,0,0,3 {Ask Freq}" + CR LF; the name part is left out when the name is
    // empty. Empty when the terminal is not shown or the direction is neither.
    QString CatLogLine(const QByteArray& bytes, CatDirection direction, const QString& name) const;
    // The same with the text of an ASCII protocol as it went: "hh:mm:ss TX> FA;" + CR LF.
    QString CatLogText(const QByteArray& text, CatDirection direction, const QString& name) const;
    // With clear, empties the buffer first (and an empty line does nothing more). Otherwise,
    // while the terminal is shown: the line goes to the log file when it is open, and to the
    // end of the buffer, which is cut to its last 3072 characters.
    void TerminalWrite(const QString& line, bool clear);
    // A frame or reply: CatLogLine, then TerminalWrite.
    void logBytes(const QByteArray& bytes, CatDirection direction, const QString& name) {
        TerminalWrite(CatLogLine(bytes, direction, name), false);
    }
    void logText(const QByteArray& text, CatDirection direction, const QString& name) {
        TerminalWrite(CatLogText(text, direction, name), false);
    }

    // A text protocol's exchange, "hh:mm:ss RX< rig.get_vfo 7050000" + CR LF, written as
    // logBytes writes its line.
    void logText(const QString& text, CatDirection direction);

    // Mode 1 opens the file for appending and writes the header line; mode 2 writes
    // text without its CR LF (texts shorter than three characters are not written); mode 3
    // closes the file. Every line is written as a quoted string with CR LF. False when the file
    // could not be opened or written: it is then closed and fileError() says why.
    [[nodiscard]] bool CatLogFile(const QString& text, int mode);
    bool CatLogOn() const { return file_.isOpen(); }
    QString filePath() const;
    QString fileError() const { return fileError_; }

    const QString& TerminalBuffer() const { return buffer_; }
    // What the terminal shows: the last 51 pieces of the buffer split at CR LF, newest first,
    // empty ones skipped, each followed by CR LF.
    QString TerminalView() const;

signals:
    // The buffer changed: the terminal redraws.
    void terminalChanged();
    // Writing the log file failed and it was closed; the terminal tells the user.
    void logFileFailed(const QString& error);

private:
    // "hh:mm:ss TX> "; empty when the terminal is not shown or the direction is neither.
    QString linePrefix(CatDirection direction) const;
    bool writeQuoted(const QString& text);
    QString logLine(const QString& payload, CatDirection direction, const QString& name) const;

    const core::ProgramState& state_;
    platform::Platform& platform_;
    QString directory_;
    bool terminalShown_ = false;
    QString buffer_;
    QFile file_;
    QString fileError_;
};

} // namespace rig
