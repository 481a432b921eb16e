#include "rig/CatLog.h"

#include "core/SequentialFile.h"
#include "core/TextRules.h"
#include "rig/RigCaps.h"

#include <QStringList>

namespace rig {

using core::CrLf;

CatLog::CatLog(const core::ProgramState& state, platform::Platform& platform,
               QString programDirectory)
    : state_(state), platform_(platform), directory_(std::move(programDirectory)) {}

CatLog::~CatLog() = default;

QString CatLog::linePrefix(CatDirection direction) const {
    if (!terminalShown_)
        return {};
    const QString time = platform_.now().toString(QStringLiteral("hh:mm:ss"));
    switch (direction) {
    case CatDirection::Transmit:
        return time + QStringLiteral(" TX> ");
    case CatDirection::Receive:
        return time + QStringLiteral(" RX< ");
    }
    return {};
}

QString CatLog::CatLogLine(const QByteArray& bytes, CatDirection direction,
                           const QString& name) const {
    QStringList values;
    for (const char byte : bytes)
        values << QString::number(static_cast<unsigned char>(byte));
    return logLine(values.join(QLatin1Char(',')), direction, name);
}

QString CatLog::CatLogText(const QByteArray& text, CatDirection direction,
                           const QString& name) const {
    return logLine(QString::fromLatin1(text), direction, name);
}

QString CatLog::logLine(const QString& payload, CatDirection direction, const QString& name) const {
    QString line = linePrefix(direction);
    if (line.isEmpty())
        return {};
    line += payload;
    if (!name.isEmpty())
        line += QStringLiteral(" {") + name + QLatin1Char('}');
    return line + CrLf;
}

void CatLog::logText(const QString& text, CatDirection direction) {
    const QString prefix = linePrefix(direction);
    if (!prefix.isEmpty())
        TerminalWrite(prefix + text + CrLf, false);
}

void CatLog::TerminalWrite(const QString& line, bool clear) {
    if (clear) {
        buffer_.clear();
        emit terminalChanged();
    }
    if (line.isEmpty() || !terminalShown_)
        return;
    if (CatLogOn())
        (void)CatLogFile(line, 2); // a failure closes the file and is signalled
    buffer_ += line;
    if (buffer_.size() > TerminalBufferLimit)
        buffer_ = buffer_.right(TerminalBufferLimit);
    emit terminalChanged();
}

QString CatLog::filePath() const {
    return directory_ + QStringLiteral("/VentroCat.log");
}

bool CatLog::CatLogFile(const QString& text, int mode) {
    switch (mode) {
    case 1: {
        if (file_.isOpen())
            file_.close();
        file_.setFileName(filePath());
        if (!file_.open(QIODevice::WriteOnly | QIODevice::Append)) {
            fileError_ = file_.errorString();
            return false;
        }
        fileError_.clear();
        const QString header = QStringLiteral("+++++++++") + Caps(ToModel(state_.RigModel)).name +
                               QLatin1Char(' ') +
                               platform_.now().toString(QStringLiteral("hh:mm dd-MM-yyyy")) +
                               QStringLiteral("+++++++++");
        return writeQuoted(header);
    }
    case 2: {
        if (!file_.isOpen() || text.size() < 3)
            return file_.isOpen();
        return writeQuoted(text.endsWith(CrLf) ? text.chopped(2) : text);
    }
    case 3:
        file_.close();
        return true;
    default:
        return false;
    }
}

bool CatLog::writeQuoted(const QString& text) {
    core::SequentialWriter writer;
    writer.field(text).endRecord();
    if (file_.write(writer.bytes()) == writer.bytes().size() && file_.flush())
        return true;
    fileError_ = file_.errorString();
    file_.close();
    emit logFileFailed(fileError_);
    return false;
}

QString CatLog::TerminalView() const {
    const QStringList pieces = buffer_.split(CrLf);
    const qsizetype last = pieces.size() - 1;
    QString view;
    for (qsizetype i = last; i >= 0 && i >= last - (TerminalViewLines - 1); --i) {
        if (!pieces[i].isEmpty())
            view += pieces[i] + CrLf;
    }
    return view;
}

} // namespace rig
