#include "display/CatTerminalWindow.h"

#include "core/VersionTexts.h"
#include "display/ScreenPlacement.h"
#include "rig/RigCaps.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <algorithm>

namespace display {

namespace {

const QColor TerminalBack(0, 0, 0);
const QColor TerminalText(0, 0xFF, 0);
constexpr int ClearButtonMargin = 7; // pixels right of the clear button

} // namespace

CatTerminalWindow::CatTerminalWindow(rig::CatLog& log, const core::ProgramState& state,
                                     platform::Platform& platform, QWidget* dockTo, QWidget* parent)
    : QMainWindow(parent), log_(log), state_(state), platform_(platform), dockTo_(dockTo) {
    setObjectName(QStringLiteral("Form19"));
    setWindowTitle(QStringLiteral("Cat Terminal ") + rig::Caps(rig::ToModel(state_.RigModel)).name);
    QMenu* files = menuBar()->addMenu(QStringLiteral("&Files"));
    files->setObjectName(QStringLiteral("mnuFiles"));
    mnuSaveLog = files->addAction(QStringLiteral("&Save log"));
    mnuSaveLog->setObjectName(QStringLiteral("mnuSaveLog"));
    mnuSaveLog->setCheckable(true);
    connect(mnuSaveLog, &QAction::triggered, this, &CatTerminalWindow::saveLogToggled);

    surface_ = new QWidget;
    surface_->setObjectName(QStringLiteral("surface"));
    surface_->setAutoFillBackground(true);
    QPalette palette = surface_->palette();
    palette.setColor(QPalette::Window, TerminalBack);
    palette.setColor(QPalette::WindowText, TerminalText);
    surface_->setPalette(palette);
    surface_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    surface_->installEventFilter(this);
    setCentralWidget(surface_);
    cmdClear = new QPushButton(QStringLiteral("&Clear"), surface_);
    cmdClear->setObjectName(QStringLiteral("cmdClear"));
    cmdClear->setAutoDefault(false);
    connect(cmdClear, &QPushButton::clicked, this, [this] { log_.TerminalWrite({}, true); });

    connect(&log_, &rig::CatLog::terminalChanged, surface_, qOverload<>(&QWidget::update));
    connect(&log_, &rig::CatLog::logFileFailed, this, &CatTerminalWindow::logFailed);
    resize(520, 480);
    log_.setTerminalShown(true);
}

CatTerminalWindow::~CatTerminalWindow() {
    log_.setTerminalShown(false);
}

void CatTerminalWindow::dock() {
    if (!dockTo_ || isMinimized())
        return;
    const QRect table = dockTo_->frameGeometry();
    const int width = frameGeometry().width();
    const QRect right(table.right() + 1, table.top(), width, table.height());
    const QRect left(table.left() - width, table.top(), width, table.height());
    const QList<QRect> screens = AvailableScreens();
    // Without room on the right it docks on the left rather than over the rig's controls.
    const auto fits = [&screens](const QRect& r) {
        return std::any_of(screens.begin(), screens.end(),
                           [&r](const QRect& screen) { return screen.contains(r); });
    };
    PlaceWindow(*this, !fits(right) && fits(left) ? left : right);
}

bool CatTerminalWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        setWindowTitle(QStringLiteral("Cat Terminal ") +
                       rig::Caps(rig::ToModel(state_.RigModel)).name);
        dock();
    }
    return QMainWindow::event(event);
}

void CatTerminalWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    cmdClear->adjustSize();
    cmdClear->move(surface_->width() - cmdClear->width() - ClearButtonMargin, ClearButtonMargin);
}

bool CatTerminalWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == surface_ && event->type() == QEvent::Paint) {
        paintTraffic();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void CatTerminalWindow::paintTraffic() {
    QPainter painter(surface_);
    painter.setPen(TerminalText);
    const int lineHeight = painter.fontMetrics().lineSpacing();
    int y = painter.fontMetrics().ascent() + 4;
    for (const QString& line :
         log_.TerminalView().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        painter.drawText(4, y, line);
        y += lineHeight;
    }
}

void CatTerminalWindow::saveLogToggled(bool on) {
    if (!on) {
        (void)log_.CatLogFile({}, 3);
        return;
    }
    if (!log_.CatLogFile({}, 1)) {
        logFailed(log_.fileError());
        return;
    }
    platform_.messageBox(QStringLiteral("Save/Append ") + log_.filePath(), core::MessageTitle(),
                         platform::Icon::Information);
}

void CatTerminalWindow::logFailed(const QString& error) {
    mnuSaveLog->setChecked(false);
    platform_.messageBox(QStringLiteral("The CAT log ") + log_.filePath() +
                             QStringLiteral(" cannot be written: ") + error,
                         core::MessageTitle(), platform::Icon::Exclamation);
}

void CatTerminalWindow::closeEvent(QCloseEvent* event) {
    if (mnuSaveLog->isChecked()) {
        (void)log_.CatLogFile({}, 3);
        mnuSaveLog->setChecked(false);
    }
    log_.setTerminalShown(false);
    event->accept();
    emit closed();
}

} // namespace display
