#pragma once

#include <memory>

class QApplication;

namespace app {

// Chooses how the windows reach the screen; called before the application object exists.
// The windows repaint small areas many times a second (a turn's read-outs and dial, the clocks).
// Through the X server's shared memory every repaint of a place drawn before first waits for a
// round trip to the server; for areas this small sending the pixels costs less. (Qt reads any
// value of QT_XCB_NO_MITSHM as "no shared memory", so there is no user setting to keep.)
void PrepareDisplay();

// The application object of the windows, the display prepared. Without a screen to show
// them on (no display named, or one named but out of reach) the program says "no display: start
// with --headless for the station without windows" and ends with exit code 1, instead of Qt's
// abort and its advice to reinstall; Qt's warning that names the display still goes out.
std::unique_ptr<QApplication> OpenWindowSystem(int& argc, char** argv);

} // namespace app
