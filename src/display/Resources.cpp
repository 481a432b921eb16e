#include "display/Resources.h"

#include "core/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <mutex>

// The resource initialiser must be called from the global namespace; calling it also keeps the
// linker from dropping the compiled resources out of the static library.
static void initShippedResources() {
    Q_INIT_RESOURCE(resources);
}

namespace display {
namespace {

Q_LOGGING_CATEGORY(lcResources, "ventrolo.display.resources")

struct PictureEntry {
    const char* file;
    const char* caption;
};

PictureEntry entryOf(Picture picture) {
    switch (picture) {
    case Picture::CatInterface:
        return {"cat-interface.svg", "Cat control circuit."};
    case Picture::BipolarDriver:
        return {"bipolar-driver.svg", "Bi polaire stepper circuit."};
    case Picture::UnipolarDriver:
        return {"unipolar-driver.svg", "Uni polaire stepper circuit."};
    case Picture::OptoCouplers:
        return {"opto-couplers.svg", "Circuits opto-couplers and fieldpower relais"};
    case Picture::SimpleDriver:
        return {"simple-driver.svg", "Simple stand alone stepper circuit."};
    case Picture::ComponentLayout:
        return {"component-layout.svg", "Component layout."};
    case Picture::StepDirDriver:
        return {"stepdir-driver.svg", "Step/dir stepper driver circuit."};
    case Picture::InhibitLine:
        return {"inhibit-line.svg", "Transmit-inhibit line circuit."};
    }
    return {"", ""};
}

} // namespace

void LoadResources() {
    static std::once_flag once;
    std::call_once(once, initShippedResources);
}

QString HelpTextFileName(HelpText text) {
    switch (text) {
    case HelpText::English:
        return QStringLiteral("VentroEng.txt");
    case HelpText::Dutch:
        return QStringLiteral("VentroDutch.txt");
    case HelpText::Changes:
        return QStringLiteral("VentroChanges.txt");
    }
    return {};
}

QString HelpTextResource(HelpText text) {
    LoadResources();
    return QStringLiteral(":/text/") + HelpTextFileName(text);
}

SeedResult SeedHelpTexts(const QString& programDirectory) {
    SeedResult result;
    auto fail = [&](const QString& why) {
        qCWarning(lcResources).noquote() << why;
        if (result.error.isEmpty())
            result.error = why;
    };
    if (programDirectory.isEmpty()) {
        fail(QStringLiteral("no program directory for the help texts"));
        return result;
    }
    for (const HelpText text : HelpTexts) {
        const QString path = QDir(programDirectory).filePath(HelpTextFileName(text));
        if (QFileInfo(path).exists() || QFileInfo(path).isSymLink())
            continue;
        QFile shipped(HelpTextResource(text));
        if (!shipped.open(QIODevice::ReadOnly)) {
            fail(QStringLiteral("the program holds no %1").arg(HelpTextFileName(text)));
            continue;
        }
        QString why;
        if (!core::WriteFileAtomically(path, shipped.readAll(), &why)) {
            fail(QStringLiteral("cannot write %1: %2").arg(path, why));
            continue;
        }
        qCInfo(lcResources).noquote() << "wrote" << path;
        result.written << path;
    }
    return result;
}

QString PictureResource(Picture picture) {
    LoadResources();
    return QStringLiteral(":/pictures/") + QLatin1String(entryOf(picture).file);
}

QString PictureCaption(Picture picture) {
    return QLatin1String(entryOf(picture).caption);
}

QSize PictureSize(Picture) {
    // Every picture is drawn for the same window, which fits a 1366 x 768 screen.
    return {960, 660};
}

QString IconResource() {
    LoadResources();
    return QStringLiteral(":/icons/ventrolo.svg");
}

} // namespace display
