#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <array>

// The texts and pictures shipped inside the program.
namespace display {

// Makes the shipped resources reachable under ":/"; every function below does this itself.
void LoadResources();

// The help and change texts the text window shows, kept in the program directory.
enum class HelpText { English, Dutch, Changes };
inline constexpr std::array<HelpText, 3> HelpTexts{HelpText::English, HelpText::Dutch,
                                                   HelpText::Changes};
// "VentroEng.txt", "VentroDutch.txt", "VentroChanges.txt".
QString HelpTextFileName(HelpText text);
// The shipped copy: ":/text/VentroEng.txt".
QString HelpTextResource(HelpText text);

struct SeedResult {
    QStringList written; // the files that were missing and are now there
    QString error;       // the first file that could not be written and why; empty on success
};
// Puts each help text that is missing into the program directory. A file already there is
// never touched, whatever it holds: the user may have edited it. Each file is written
// atomically, so a crash leaves it whole or absent.
SeedResult SeedHelpTexts(const QString& programDirectory);

// The circuit pictures of the picture windows.
enum class Picture {
    CatInterface,
    BipolarDriver,
    UnipolarDriver,
    OptoCouplers,
    SimpleDriver,
    ComponentLayout,
    StepDirDriver,
    InhibitLine
};
inline constexpr std::array<Picture, 8> Pictures{
    Picture::CatInterface,    Picture::BipolarDriver, Picture::UnipolarDriver,
    Picture::OptoCouplers,    Picture::SimpleDriver,  Picture::ComponentLayout,
    Picture::StepDirDriver,   Picture::InhibitLine};
// ":/pictures/bipolar-driver.svg".
QString PictureResource(Picture picture);
// The window caption: "Bi polaire stepper circuit.".
QString PictureCaption(Picture picture);
// The size the picture is drawn for, in pixels: the picture window's initial inner size.
QSize PictureSize(Picture picture);

// The program icon: ":/icons/ventrolo.svg".
QString IconResource();

} // namespace display
