#pragma once

#include "core/ProgramState.h"
#include "platform/Platform.h"
#include "program/TimerRecord.h"
#include "program/TimerSchedule.h"
#include "program/Turner.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace program {

// The timer table's logic (Form5 without its widgets): the records and their file, the
// one-second clock (Timer1) and the timed turns through the Turner. It lives as long as the
// timer window is loaded, shown or hidden; the window renders ListLines() and the label texts
// and forwards its buttons and menu entries.
class TimerTable : public QObject {
    Q_OBJECT

public:
    enum class AddResult { Added, Replaced, Full, BadTime, NoPosition };

    // Loading the window: reads the file of TimerFileName (when it is \Timer1.tbl or
    // \Timer2.tbl) and starts the clock, the next turn due.
    TimerTable(core::ProgramState& state, platform::Platform& platform, Turner& turner,
               QString programDirectory, QObject* parent = nullptr);
    ~TimerTable() override;

    // --- the records and their file ---
    const std::vector<TimerRecord>& records() const { return records_; }
    // Reads the file of TimerFileName; a missing file is an empty table. A damaged one loads
    // its good records and says which lines were left out; it is kept beside as
    // <name>.damaged when the table is first written. Times already past today are first due
    // tomorrow.
    void LaadTimerTxt();
    // Writes the table atomically; a failure is said to the user and gives false.
    bool SaveTimerTxt();
    // mnuLaadFile1 / mnuLaadFile2: TimerFileName becomes \Timer<n>.tbl and is read.
    void LoadTimerFile(int n);
    // The checked load entry: 1 or 2, 0 when TimerFileName is neither file.
    int checkedFile() const;
    // cmdInvoer: a record at time ("hh:mm:ss") to the position typed, for stepper 0 or 1. A time
    // already there gets the new position and stepper. A time already past today is first due
    // tomorrow. Refused with a beep: a time that is not hh:mm:ss, a position that is no number
    // (empty, "abc"); with a message: a full table.
    AddResult AddRecord(const QString& time, const QString& positionText, core::Integer stepper);
    // cmdKill: deletes the record numbered in the text (from 1); a beep and false for a number
    // that is no record.
    bool KillRecord(const QString& numberText);
    // mnuClearFile: asks, then empties the table and its file.
    void ClearFile();
    void TimerSort();

    // --- what the windows show ---
    QStringList ListLines() const; // List1
    QString RecordsText() const;   // lblRecords
    QString NextTurnText() const;  // lblTijdToGo
    bool NextTurnVisible() const;
    QString ClockText() const { return clock_; } // lblTimer
    static QString StoppedClockText();           // lblTimer while the timer is off
    QString TimerOnCaption() const;              // cmdTimerOn
    QString Form1LabelTimer() const;             // the main window's lblTimer
    QString TimeNow() const;                     // "hh:mm:ss", for txtTijd
    std::optional<TimerRecord> nextTurn() const;

    // --- the clock ---
    bool timerEnabled() const { return enabled_; }
    // cmdTimerOn.
    void TimerOnClicked();
    // mnuVerbergTimer: tells the user; true when the table runs on in the background (the main
    // window then shows Form1LabelTimer()).
    bool Hide();
    // The window is closing: the clock stops, a timed turn in progress is stopped, and the turn
    // touches nothing of the table afterwards but telling turnEnded().
    void WindowGone();
    // A timed turn is in progress (the clock's tick waits for it).
    bool turning() const { return turning_; }

signals:
    // The records, the list or the next turn changed.
    void tableChanged();
    void clockChanged();
    // The timed turn has returned; the table may be deleted once this has been told.
    void turnEnded();

private:
    void Tick();
    void TimerOpscherm();
    void setClock(const QString& text);

    core::ProgramState& state_;
    platform::Platform& platform_;
    Turner& turner_;
    QString directory_;
    std::vector<TimerRecord> records_;
    TimerSchedule schedule_{records_};
    std::unique_ptr<platform::Timer> timer_;
    bool enabled_ = false;
    bool captionOn_ = true; // cmdTimerOn reads "&Timer on.": the clock runs from the load
    bool turning_ = false;
    bool gone_ = false;
    QString clock_;
    std::optional<QByteArray> damaged_; // the damaged file as it was read
    bool unreadable_ = false;           // the file could not be read: kept beside before a save
};

} // namespace program
