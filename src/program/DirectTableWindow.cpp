#include "program/DirectTableWindow.h"

#include "core/VersionTexts.h"
#include "engine/KeyCodes.h"
#include "program/ProgramLanguage.h"

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace program {

DirectTableWindow::DirectTableWindow(const core::ProgramState& state, platform::Platform& platform,
                                     Turner& turner, const QString& programDirectory,
                                     QWidget* parent)
    : ProgramWindow(parent), platform_(platform), table_(state, platform, turner, this),
      files_(platform, programDirectory) {
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(QStringLiteral("Direct turning."));

    Frame1 = new QGroupBox(QStringLiteral("Direct values endless turning table         ! = Wait "
                                          "mSec, # = StepSpeed  mSec and * = Degrees"));
    Frame1->setObjectName(QStringLiteral("Frame1"));
    txtData = new QLineEdit;
    txtData->setObjectName(QStringLiteral("txtData"));
    txtData->setMaxLength(MaxProgramLength);
    // A name for a screen reader: the box has no label of its own.
    txtData->setAccessibleName(QStringLiteral("Program"));
    txtData->setToolTip(QStringLiteral(
        "Turnto values separated by commas at least two values. 1000! = pause 1000 mS, 20# = "
        "Stepspeed 20 mS  and 200* = turn 200 Degrees ."));
    cmdRun = new QPushButton;
    cmdRun->setObjectName(QStringLiteral("cmdRun"));
    cmdRun->setAutoDefault(false);
    lblAktueel = new QLabel;
    lblAktueel->setObjectName(QStringLiteral("lblAktueel"));
    lblAktueel->setToolTip(QStringLiteral("Turning from to Click to change steps to degrees."));
    lblAktueel->setFrameShape(QFrame::Panel);
    lblAktueel->setFrameShadow(QFrame::Sunken);

    auto* row = new QHBoxLayout;
    row->addWidget(cmdRun);
    row->addWidget(lblAktueel, 1);
    auto* frame = new QVBoxLayout(Frame1);
    frame->addWidget(txtData);
    frame->addLayout(row);
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(6, 2, 6, 4);
    page->addWidget(Frame1);
    buildMenus();

    routeStopKeys();
    // Typed or set without keys (a screen reader): the program is what the box shows.
    connect(txtData, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text != table_.text())
            handle([&] { table_.TextEdited(text); });
    });
    connect(cmdRun, &QPushButton::clicked, this, [this] { handle([&] { table_.RunClicked(); }); });
    connect(&table_, &DirectTable::textChanged, this, &DirectTableWindow::showText);
    connect(&table_, &DirectTable::runningChanged, this,
            [this] { cmdRun->setText(table_.RunCaption()); });
    connect(&table_, &DirectTable::currentChanged, this, [this] {
        lblAktueel->setText(table_.CurrentText());
        const core::Long bgr = table_.CurrentColor();
        QPalette palette = lblAktueel->palette();
        palette.setColor(QPalette::WindowText,
                         QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF));
        lblAktueel->setPalette(palette);
    });
    connect(&table_, &DirectTable::valueMarked, this, [this](int start, int length) {
        txtData->setFocus();
        txtData->setSelection(start, length);
    });
    cmdRun->setText(table_.RunCaption());
    lblAktueel->setText(table_.CurrentText());

    // The window keeps its size.
    layout()->activate();
    setFixedSize(Width, InnerHeight + layout()->menuBar()->sizeHint().height());
}

void DirectTableWindow::buildMenus() {
    auto* bar = new QMenuBar(this);
    auto entry = [this](const char* name, const QString& caption) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    QMenu* files = bar->addMenu(QStringLiteral("&Files"));
    files->setObjectName(QStringLiteral("mnuFiles"));
    mnuDefault = entry("mnuDefault", QStringLiteral("&Default"));
    mnuLoad1 = entry("mnuLoad1", QStringLiteral("&Load1"));
    mnuLoad2 = entry("mnuLoad2", QStringLiteral("L&oad2"));
    mnuLoad3 = entry("mnuLoad3", QStringLiteral("Lo&ad3"));
    loadEntries_ = {mnuDefault, mnuLoad1, mnuLoad2, mnuLoad3};
    for (int n = 0; n < int(loadEntries_.size()); ++n) {
        QAction* action = loadEntries_[std::size_t(n)];
        action->setCheckable(true);
        files->addAction(action);
        connect(action, &QAction::triggered, this, [this, n] { handle([&] { load(n); }); });
    }
    mnuSave = entry("mnuSave", QStringLiteral("Sa&ve"));
    mnuExit = entry("mnuExit", QStringLiteral("&Exit"));
    mnuInfo = entry("mnuInfo", QStringLiteral("&Info"));
    for (QAction* action : {mnuSave, mnuExit, mnuInfo})
        bar->addAction(action);
    connect(mnuSave, &QAction::triggered, this, [this] {
        handle([&] {
            files_.Save(table_.text());
            renderChecks();
        });
    });
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
    connect(mnuInfo, &QAction::triggered, this, [this] {
        handle([&] {
            platform_.messageBox(DirectInfoText(), core::MessageTitle(),
                                 platform::Icon::Information);
        });
    });
    layout()->setMenuBar(bar);
}

void DirectTableWindow::load(int n) {
    // A loaded program replaces the text as an edit does: a running program stops.
    if (const auto program = files_.LoadFile(n))
        txtData->setText(*program);
    renderChecks();
}

void DirectTableWindow::renderChecks() {
    for (std::size_t n = 0; n < loadEntries_.size(); ++n)
        loadEntries_[n]->setChecked(files_.checked() == int(n));
}

void DirectTableWindow::showText() {
    // The table's own rewrite (the filter, the appended comma): the caret stays where it was
    // typed, moved back by what the filter took out before it.
    const int removed = int(txtData->text().size() - table_.text().size());
    const int caret = std::max(0, txtData->cursorPosition() - std::max(0, removed));
    txtData->setText(table_.text());
    txtData->setCursorPosition(std::min(caret, int(table_.text().size())));
}

void DirectTableWindow::stopLogic() {
    table_.WindowGone();
}

bool DirectTableWindow::commandKey(QKeyEvent* event) {
    const int code = engine::VirtualKeyCode(static_cast<Qt::Key>(event->key()), event->modifiers());
    const int shift = engine::ModifierMask(event->modifiers());
    // Ctrl and Alt keep their meaning in the program box (copy, paste).
    const bool speedKey = (code == 'N' || code == 'M' || code == 'F' || code == 'C') &&
                          (shift & (engine::CtrlMask | engine::AltMask)) == 0;
    if (!speedKey)
        return stopKey(event);
    handle([&] { emit keyCommand(code, shift); });
    return true;
}

bool DirectTableWindow::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        if (watched == txtData && commandKey(static_cast<QKeyEvent*>(event)))
            return true;
        break;
    case QEvent::FocusIn:
        // Entering the box selects the whole program, unless a run marks its value there.
        if (watched == txtData && !table_.running())
            QMetaObject::invokeMethod(txtData, &QLineEdit::selectAll, Qt::QueuedConnection);
        break;
    case QEvent::MouseButtonPress:
        if (watched == lblAktueel)
            table_.ToggleCounterInDegrees();
        break;
    default:
        break;
    }
    return ProgramWindow::eventFilter(watched, event);
}

void DirectTableWindow::keyPressEvent(QKeyEvent* event) {
    if (!commandKey(event))
        ProgramWindow::keyPressEvent(event);
}

void DirectTableWindow::wheelEvent(QWheelEvent* event) {
    event->accept();
    const int notches = wheelNotches_.add(event->angleDelta());
    if (notches != 0)
        handle([&] { emit wheelTurned(notches, engine::WheelShift(event->modifiers())); });
}

} // namespace program
