#pragma once

#include <QString>
#include <vector>

// The values of Ventrolo.ini that could not be used, gathered while the readers take their
// defaults instead, so the user hears once, after the start, what was left out and what is
// used in its place. Each one is logged as it is noted.
namespace core {

struct UnusedSetting {
    QString file;  // the settings file
    QString key;   // "rig/link"; empty when the whole file cannot be read
    QString found; // the text in the file; why it cannot be read
    QString kept;  // what the program uses instead
};

class SettingsReport {
public:
    void Unused(const QString& file, const QString& key, const QString& found,
                const QString& kept);

    // The whole file cannot be read (why): every setting keeps its default.
    void Unreadable(const QString& file, const QString& why);
    // Takes in what another report noted (already logged there).
    void Add(const SettingsReport& other);

    bool isEmpty() const { return unused_.empty(); }
    const std::vector<UnusedSetting>& unused() const { return unused_; }
    // For the user, one line per value: "/dir/Ventrolo.ini: [rig] link=radio cannot be used;
    // serial is used instead."
    QString text() const;

private:
    // False for a value noted before.
    bool note(const UnusedSetting& setting);

    std::vector<UnusedSetting> unused_;
};

} // namespace core
