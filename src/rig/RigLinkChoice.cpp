#include "rig/RigLinkChoice.h"

#include "core/AtomicFile.h"
#include "rig/RigLogging.h"

#include <QFile>
#include <QSettings>

namespace rig {

namespace {

const QString LinkKey = QStringLiteral("rig/link");
const QByteArray SerialValue = "serial";
const QByteArray SimulatedValue = "simulated";

bool IsGroupLine(const QByteArray& line) {
    return line.trimmed().startsWith('[');
}

} // namespace

QByteArray WithRigLink(const QByteArray& contents, const QByteArray& value) {
    QList<QByteArray> lines = contents.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    const QByteArray entry = "link=" + value;
    qsizetype group = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (IsGroupLine(lines[i]))
            group = lines[i].trimmed().toLower() == "[rig]" ? i : -1;
        else if (group >= 0 && lines[i].split('=').first().trimmed().toLower() == "link")
            return (lines.mid(0, i) + QList<QByteArray>{entry} + lines.mid(i + 1)).join('\n') +
                   '\n';
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed().toLower() == "[rig]") {
            lines.insert(i + 1, entry);
            return lines.join('\n') + '\n';
        }
    }
    if (!lines.isEmpty())
        lines << QByteArray();
    lines << "[rig]" << entry;
    return lines.join('\n') + '\n';
}

RigLinkChoice::RigLinkChoice(QString programDirectory, CatControl& cat, SerialLink& serial,
                             SimulatedRig& simulated)
    : directory_(std::move(programDirectory)), cat_(cat), serial_(serial), simulated_(simulated) {}

QString RigLinkChoice::settingsFile() const {
    return directory_ + QStringLiteral("/Ventrolo.ini");
}

void RigLinkChoice::Load() {
    const QString value = [this] {
        const QSettings ini(settingsFile(), QSettings::IniFormat);
        return ini.value(LinkKey).toString().trimmed().toLower();
    }();
    link_ = value == QLatin1String(SimulatedValue) ? Link::Simulated : Link::Serial;
    if (value != QLatin1String(SimulatedValue) && value != QLatin1String(SerialValue))
        store();
    (void)cat_.setLink(simulated() ? static_cast<SerialLink&>(simulated_) : serial_);
}

bool RigLinkChoice::Choose(Link link) {
    if (!cat_.setLink(link == Link::Simulated ? static_cast<SerialLink&>(simulated_) : serial_))
        return false;
    if (link != link_) {
        link_ = link;
        store();
    }
    return true;
}

void RigLinkChoice::store() {
    // Only the one line changes: the user's comments and everything else stay as written.
    QFile file(settingsFile());
    QByteArray contents;
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            qCWarning(lcRig) << "cannot read" << settingsFile() << file.errorString();
            return;
        }
        contents = file.readAll();
    }
    QString error;
    if (!core::WriteFileAtomically(
            settingsFile(), WithRigLink(contents, simulated() ? SimulatedValue : SerialValue),
            &error))
        qCWarning(lcRig) << "cannot write" << settingsFile() << error;
}

} // namespace rig
