#include "display/CatTerminalWindow.h"

#include "core/VersionTexts.h"
#include "display/ScreenPlacement.h"
#include "rig/RigCaps.h"

#include <QAction>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
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

    surface_ = new QPlainTextEdit;
    surface_->setObjectName(QStringLiteral("surface"));
    surface_->setAccessibleName(QStringLiteral("Rig traffic"));
    surface_->setReadOnly(true);
    surface_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    surface_->setFrameShape(QFrame::NoFrame);
    surface_->setLineWrapMode(QPlainTextEdit::NoWrap);
    surface_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    surface_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette palette = surface_->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Base, TerminalBack);
        palette.setColor(group, QPalette::Text, TerminalText);
    }
    surface_->setPalette(palette);
    surface_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setCentralWidget(surface_);
    cmdClear = new QPushButton(QStringLiteral("&Clear"), surface_);
    cmdClear->setObjectName(QStringLiteral("cmdClear"));
    cmdClear->setAutoDefault(false);
    connect(cmdClear, &QPushButton::clicked, this, [this] { log_.TerminalWrite({}, true); });

    connect(&log_, &rig::CatLog::terminalChanged, this, &CatTerminalWindow::showTraffic);
    connect(&log_, &rig::CatLog::logFileFailed, this, &CatTerminalWindow::logFailed);
    resize(520, 480);
    log_.setTerminalShown(true);
    showTraffic();
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

void CatTerminalWindow::showTraffic() {
    const QString lines = log_.TerminalView()
                              .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)
                              .join(QLatin1Char('\n'));
    if (lines != surface_->toPlainText())
        surface_->setPlainText(lines);
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
