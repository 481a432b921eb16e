#include "display/ColorValue.h"

#include <array>
#include <cstdint>

namespace display {
namespace {

constexpr std::uint32_t DesktopColourFlag = 0x80000000u;

// The classic desktop palette by colour number (&H00RRGGBB), for the numbers a configuration
// may hold.
constexpr std::array<std::uint32_t, 25> DesktopPalette{
    0xC0C0C0, // 0 scroll bar
    0x008080, // 1 desktop
    0x000080, // 2 active caption
    0x808080, // 3 inactive caption
    0xC0C0C0, // 4 menu
    0xFFFFFF, // 5 window
    0x000000, // 6 window frame
    0x000000, // 7 menu text
    0x000000, // 8 window text
    0xFFFFFF, // 9 caption text
    0xC0C0C0, // 10 active border
    0xC0C0C0, // 11 inactive border
    0x808080, // 12 application workspace
    0x000080, // 13 highlight
    0xFFFFFF, // 14 highlight text
    0xC0C0C0, // 15 button face
    0x808080, // 16 button shadow
    0x808080, // 17 grey text
    0x000000, // 18 button text
    0xC0C0C0, // 19 inactive caption text
    0xFFFFFF, // 20 button highlight
    0x000000, // 21 3D dark shadow
    0xDFDFDF, // 22 3D light
    0x000000, // 23 tooltip text
    0xFFFFE1, // 24 tooltip background
};

} // namespace

QColor ColorFromValue(core::Long value) {
    const auto bits = static_cast<std::uint32_t>(value);
    if (bits & DesktopColourFlag) {
        const std::uint32_t number = bits & ~DesktopColourFlag;
        return number < DesktopPalette.size() ? QColor::fromRgb(DesktopPalette[number])
                                              : QColor(0x80, 0x80, 0x80);
    }
    return QColor(bits & 0xFF, (bits >> 8) & 0xFF, (bits >> 16) & 0xFF);
}

std::optional<core::Long> ChooseStoredColor(platform::Platform& platform, core::Long stored) {
    const QColor shown = ColorFromValue(stored);
    const auto start = static_cast<std::int32_t>(shown.red() | (shown.green() << 8) |
                                                 (shown.blue() << 16));
    const std::optional<std::int32_t> chosen = platform.chooseColor(start);
    if (!chosen)
        return std::nullopt;
    return *chosen == start ? stored : core::Long(*chosen);
}

} // namespace display
