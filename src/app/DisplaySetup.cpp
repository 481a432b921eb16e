#include "app/DisplaySetup.h"

#include <QByteArray>
#include <QtGlobal>

namespace app {

void PrepareDisplay() {
    qputenv("QT_XCB_NO_MITSHM", "1");
}

} // namespace app
