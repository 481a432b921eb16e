#include "headless/HeadlessMain.h"

#include "core/ProgramDirectory.h"
#include "core/SettingsFile.h"
#include "core/SingleInstance.h"
#include "core/VersionTexts.h"
#include "engine/MoveLog.h"
#include "headless/HeadlessLogging.h"
#include "headless/HeadlessSettings.h"
#include "headless/HeadlessStation.h"
#include "platform/HeadlessPlatform.h"
#include "port/LptBackendFactory.h"
#include "port/LptSettings.h"
#include "station/StatusQuery.h"
#include "station/StatusSocket.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

namespace headless {

namespace {

int PrintMoves(const QString& directory, int count) {
    const QList<QJsonObject> moves = engine::MoveLog::Last(directory, count);
    if (moves.isEmpty())
        std::fprintf(stderr, "no moves logged in %s\n", qPrintable(directory));
    for (const QJsonObject& move : moves)
        std::printf("%s\n", qPrintable(engine::MoveLog::Text(move)));
    return 0;
}

} // namespace

int RunHeadless(const core::CommandLineOptions& options) {
    // The journal stamps each line with the time, and takes a line's priority from its
    // "<N>" prefix; a terminal gets the category at least.
    if (qEnvironmentVariableIsEmpty("QT_MESSAGE_PATTERN")) {
        const QString line = QStringLiteral("%{if-category}%{category}: %{endif}%{message}");
        qSetMessagePattern(qEnvironmentVariableIsSet("JOURNAL_STREAM")
                               ? QStringLiteral("%{if-warning}<4>%{endif}%{if-critical}<3>"
                                                "%{endif}%{if-fatal}<2>%{endif}") +
                                     line
                               : line);
    }
    // Asking makes no program directory: where there is none, no station runs.
    if (options.status && !options.directory.isEmpty() && !QFileInfo(options.directory).isDir()) {
        std::fprintf(stderr, "no station runs in %s\n", qPrintable(options.directory));
        return station::NoStationRuns;
    }
    if (options.moves && !options.directory.isEmpty() && !QFileInfo(options.directory).isDir()) {
        std::fprintf(stderr, "no program directory %s\n", qPrintable(options.directory));
        return 1;
    }
    const core::ProgramDirectoryResult directory =
        core::ResolveProgramDirectory(options.directory, QCoreApplication::applicationDirPath());
    if (directory.path.isEmpty()) {
        std::fprintf(stderr, "ventrolo: %s\n", qPrintable(directory.error));
        return 1;
    }
    if (options.moves)
        return PrintMoves(directory.path, *options.moves);
    if (options.status) {
        QString text;
        const station::StatusQueryResult result = station::QueryStatus(directory.path, &text, 2000);
        std::fputs(qPrintable(text + (text.endsWith(QLatin1Char('\n')) ? "" : "\n")),
                   result == station::StatusAnswered ? stdout : stderr);
        return result;
    }
    platform::HeadlessPlatform platform;
    core::SingleInstance instance(directory.path,
                                  [&] { return station::StationAnswering(directory.path); });
    if (!instance.acquire(platform))
        return 1;
    qCInfo(lcHeadless).noquote() << core::VersionLine() << "without a display in" << directory.path;
    const QString settingsFile = core::SettingsFilePath(directory.path);
    core::SettingsReport lptSettings;
    if (const auto problem = core::SettingsFileProblem(settingsFile))
        lptSettings.Unreadable(settingsFile, *problem);
    const port::LptBackendOptions lpt = port::LptOptionsFor(options, settingsFile, lptSettings);
    station::Station station(directory.path, platform, port::CreateLptBackend(lpt, platform));
    station.settingsReport().Add(lptSettings);
    station.setParkAtUnattendedEnd(
        ReadHeadlessSettings(settingsFile, &station.settingsReport()).park);
    HeadlessStation face(station);
    // Queued: the end is told from inside the exit path.
    QObject::connect(
        &face, &HeadlessStation::ended, QCoreApplication::instance(),
        [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    int code = 1;
    try {
        face.start();
        code = station.ended() ? 0 : QCoreApplication::exec();
    } catch (const std::exception& e) {
        qCCritical(lcHeadless) << "the program ends on an exception:" << e.what();
    } catch (...) {
        qCCritical(lcHeadless) << "the program ends on an exception";
    }
    // Coils and drivers off, whatever ended the program.
    station.portDrive().coil().WriteData(0);
    qCInfo(lcHeadless) << "ended";
    return code;
}

} // namespace headless
