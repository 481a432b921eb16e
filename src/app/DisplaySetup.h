#pragma once

namespace app {

// Chooses how the windows reach the screen; called before the application object exists.
// The windows repaint small areas many times a second (a turn's read-outs and dial, the clocks).
// Through the X server's shared memory every repaint of a place drawn before first waits for a
// round trip to the server; for areas this small sending the pixels costs less. (Qt reads any
// value of QT_XCB_NO_MITSHM as "no shared memory", so there is no user setting to keep.)
void PrepareDisplay();

} // namespace app
