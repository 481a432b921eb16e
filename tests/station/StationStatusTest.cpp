#include "station/StationStatus.h"

#include <gtest/gtest.h>

using station::StationStatus;
using station::StatusText;

TEST(StationStatusTest, everyKeyOnALineOfItsOwn_absentValuesNoneOrOff) {
    EXPECT_EQ(StatusText(StationStatus{}), "counter: 0\n"
                                           "degrees: off\n"
                                           "stepper: 1\n"
                                           "turning: no\n"
                                           "target: none\n"
                                           "following: no\n"
                                           "rig: off\n"
                                           "frequency: none\n"
                                           "transmit: no\n"
                                           "hold: none\n"
                                           "rotctld: off\n"
                                           "timer: no\n"
                                           "follow: continuous\n"
                                           "motion: settled\n"
                                           "arrival: none\n"
                                           "alarm: none\n"
                                           "notice: none\n"
                                           "doubt: none\n");

    StationStatus status;
    status.counter = -1234;
    status.degrees = " 45.5"; // as the window shows it, leading blank
    status.stepper = 2;
    status.turning = true;
    status.target = 5000;
    status.following = true;
    status.rig = "rigctld 127.0.0.1:4532";
    status.frequencyHz = 7100250;
    status.transmitting = true;
    status.hold = "the rig is silent and may be transmitting";
    status.rotctldPort = 4533;
    status.timerRunning = true;
    status.follow = "rested, within dead band";
    status.settled = false;
    status.rigAlarm = "no reading from the rig for 60 s";
    status.rigNotice = "announcements stopped; polling carries following";
    status.positionDoubt = "Stepper 2 may stand up to 40 steps from its counter";
    status.arrival = QDateTime(QDate(2026, 12, 9), QTime(14, 31, 5, 250));
    EXPECT_EQ(StatusText(status), "counter: -1234\n"
                                  "degrees: 45.5\n"
                                  "stepper: 2\n"
                                  "turning: yes\n"
                                  "target: 5000\n"
                                  "following: yes\n"
                                  "rig: rigctld 127.0.0.1:4532\n"
                                  "frequency: 7100250 Hz (7100.250 kHz)\n"
                                  "transmit: yes\n"
                                  "hold: the rig is silent and may be transmitting\n"
                                  "rotctld: 4533\n"
                                  "timer: yes\n"
                                  "follow: rested, within dead band\n"
                                  "motion: moving\n"
                                  "arrival: 14:31:05.250\n"
                                  "alarm: no reading from the rig for 60 s\n"
                                  "notice: announcements stopped; polling carries following\n"
                                  "doubt: Stepper 2 may stand up to 40 steps from its counter\n");
}
