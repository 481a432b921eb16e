#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

// What every fuzz target shares: the input as bytes, a scratch directory for the files a target
// reads and writes, and the check that turns a broken promise of the program into a crash
// libFuzzer keeps as a finding.
namespace fuzz {

inline QByteArray Bytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A directory of this process for the files the targets write, on tmpfs where there is one.
const QString& ScratchDirectory();
// A new, empty directory inside the scratch directory; each call gives another one, so no
// cache keyed by path (QSettings keeps one) sees a file of an earlier input.
QString NewDirectory();
// Removes a directory made by NewDirectory with what it holds.
void RemoveDirectory(const QString& path);
// Writes bytes to path, replacing the file; aborts when that fails (the scratch space is gone).
void WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);

[[noreturn]] void Fail(const char* condition, const char* file, int line);

// Reads an input front to back as a script: a byte, a number of bytes, zero past the end.
class Script {
public:
    explicit Script(QByteArray bytes) : bytes_(std::move(bytes)) {}
    bool atEnd() const { return pos_ >= bytes_.size(); }
    std::uint8_t byte() { return atEnd() ? 0 : static_cast<std::uint8_t>(bytes_[pos_++]); }
    QByteArray take(qsizetype count) {
        const QByteArray part = bytes_.mid(pos_, count);
        pos_ += part.size();
        return part;
    }
    QByteArray rest() { return take(bytes_.size() - pos_); }

private:
    QByteArray bytes_;
    qsizetype pos_ = 0;
};

} // namespace fuzz

// A promise of the program that must hold for every input.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::fuzz::Fail(#condition, __FILE__, __LINE__);                                          \
    } while (false)
