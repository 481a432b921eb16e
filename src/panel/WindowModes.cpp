#include "panel/WindowModes.h"

namespace panel {

WindowModes::WindowModes(platform::Platform& platform, QObject* parent)
    : QObject(parent), busyLock_(platform, modes_) {}

} // namespace panel
