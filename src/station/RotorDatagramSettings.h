#pragma once

#include "core/SettingsReport.h"

#include <QHostAddress>
#include <QList>
#include <QString>

namespace station {

// The UDP rotator protocols' groups of Ventrolo.ini; neither has a password, so off loopback
// only the peers in allow= are heard:
//   [n1mmRotor]                  N1MM Logger+'s rotor datagrams
//   enabled=false
//   port=12040                   where its "go to azimuth" datagrams come
//   address=127.0.0.1            where they are listened for; 0.0.0.0 for every network
//   allow=                       peers heard off loopback, by address, parted by commas
//   headingTo=127.0.0.1          where the heading is sent, and its port
//   headingPort=13010
//   rotor=Ventrolo               the rotor's name in the heading
//   [pstRotator]                 PstRotator's UDP commands; queries are answered at port + 1
//   enabled=false
//   port=12000
//   address=127.0.0.1
//   allow=
struct RotorDatagramSettings {
    bool enabled = false;
    quint16 port = 0;
    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    QList<QHostAddress> allowed;
    QHostAddress headingTo = QHostAddress(QHostAddress::LocalHost);
    quint16 headingPort = 13010;
    QString rotor = QStringLiteral("Ventrolo");
};

// Each reads its group, adding the missing keys with their defaults and notes; the values that
// cannot be used keep their defaults and are noted in report.
RotorDatagramSettings ReadLoggerRotorSettings(const QString& settingsFile,
                                              core::SettingsReport* report = nullptr);
RotorDatagramSettings ReadPstRotatorSettings(const QString& settingsFile,
                                             core::SettingsReport* report = nullptr);

} // namespace station
