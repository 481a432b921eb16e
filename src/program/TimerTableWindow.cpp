#include "program/TimerTableWindow.h"

#include "widgets/Readout.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace program {

namespace {

template <typename W> W* Named(W* widget, const char* name, const QString& toolTip = {}) {
    widget->setObjectName(QString::fromLatin1(name));
    if (!toolTip.isEmpty())
        widget->setToolTip(toolTip);
    return widget;
}

QPushButton* Button(const char* name, const QString& caption, const QString& toolTip = {}) {
    auto* button = Named(new QPushButton(caption), name, toolTip);
    button->setAutoDefault(false);
    return button;
}

constexpr int Width = 520;

} // namespace

TimerTableWindow::TimerTableWindow(core::ProgramState& state, TimerTable& table, QWidget* parent)
    : ProgramWindow(parent), state_(state), table_(table) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Timertable."));

    txtTijd = Named(new QLineEdit, "txtTijd", QStringLiteral("Time to turn ( format hh:mm:ss )."));
    txtTijd->setInputMask(QStringLiteral("99:99:99;_"));
    txtStappen = Named(new QLineEdit, "txtStappen", QStringLiteral("Stepper position to turnto."));
    Check1 = Named(new QCheckBox, "Check1", QStringLiteral("Stepper 1 or 2."));
    cmdInvoer = Button("cmdInvoer", QStringLiteral("&Input"));
    txtKill = Named(new QLineEdit, "txtKill", QStringLiteral("Delete record number."));
    txtKill->setMaximumWidth(60);
    cmdKill = Button("cmdKill", QStringLiteral("&Kill"));
    List1 = Named(new QListWidget, "List1", QStringLiteral("Click to copy to input boxes."));
    QFont fixed(QStringLiteral("Monospace"));
    fixed.setStyleHint(QFont::TypeWriter);
    List1->setFont(fixed);
    // Names for a screen reader: these have no label.
    txtTijd->setAccessibleName(QStringLiteral("Time"));
    txtStappen->setAccessibleName(QStringLiteral("Position"));
    txtKill->setAccessibleName(QStringLiteral("Record to delete"));
    List1->setAccessibleName(QStringLiteral("Records"));
    lblRecords = Named(new QLabel, "lblRecords");
    lblTijdToGo = Named(new QLabel, "lblTijdToGo");
    lblTimer = Named(new QLabel, "lblTimer", QStringLiteral("The time here."));
    QFont clock = lblTimer->font();
    clock.setPointSize(clock.pointSize() + 6);
    clock.setBold(true);
    lblTimer->setFont(clock);
    lblTimer->setAlignment(Qt::AlignCenter);
    lblTimer->setFrameShape(QFrame::Panel);
    lblTimer->setFrameShadow(QFrame::Sunken);
    cmdTimerOn = Button("cmdTimerOn", {});
    cmdHoofd = Button("cmdHoofd", QStringLiteral("&Main"), QStringLiteral("Toggle mainscreen."));

    auto* input = new QHBoxLayout;
    input->addWidget(txtTijd);
    input->addWidget(txtStappen);
    input->addWidget(Check1);
    input->addWidget(cmdInvoer);
    auto* killRow = new QHBoxLayout;
    killRow->addWidget(txtKill);
    killRow->addWidget(cmdKill);
    auto* side = new QVBoxLayout;
    side->addWidget(lblTimer);
    side->addWidget(cmdTimerOn);
    side->addWidget(cmdHoofd);
    side->addLayout(killRow);
    side->addWidget(lblRecords);
    side->addStretch();
    auto* middle = new QHBoxLayout;
    middle->addWidget(List1, 1);
    middle->addLayout(side);
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(6, 4, 6, 4);
    page->addLayout(input);
    page->addLayout(middle, 1);
    page->addWidget(lblTijdToGo);
    buildMenus();

    routeStopKeys();
    connect(cmdInvoer, &QPushButton::clicked, this, [this] { handle([&] { add(); }); });
    connect(txtStappen, &QLineEdit::returnPressed, this, [this] { handle([&] { add(); }); });
    connect(cmdKill, &QPushButton::clicked, this, [this] { handle([&] { kill(); }); });
    connect(txtKill, &QLineEdit::returnPressed, this, [this] { handle([&] { kill(); }); });
    // Enter on a row copies it too, for the keyboard and a screen reader.
    for (auto chosen : {&QListWidget::itemClicked, &QListWidget::itemActivated})
        connect(List1, chosen, this,
                [this](QListWidgetItem* item) { copyRecord(List1->row(item)); });
    connect(Check1, &QCheckBox::clicked, this, &TimerTableWindow::setStepper);
    connect(cmdTimerOn, &QPushButton::clicked, this,
            [this] { handle([&] { table_.TimerOnClicked(); }); });
    connect(cmdHoofd, &QPushButton::clicked, this, [this] { handle([&] { emit mainToggled(); }); });
    connect(&table_, &TimerTable::tableChanged, this, &TimerTableWindow::render);
    connect(&table_, &TimerTable::clockChanged, this,
            [this] { lblTimer->setText(table_.ClockText()); });
    // A close during a timed turn waits for the turn to return (stopLogic() held the window).
    connect(&table_, &TimerTable::turnEnded, this, [this] {
        if (isClosed())
            leave();
    });

    setStepper(state_.SelectedStepper == 1);
    txtTijd->setText(table_.TimeNow());
    lblTimer->setText(table_.ClockText());
    render();
    // The clock as wide as the widest of its texts, and then fixed: a new second repaints the
    // clock alone.
    lblTimer->setText(TimerTable::StoppedClockText());
    const int clockWidth = lblTimer->sizeHint().width();
    lblTimer->setText(table_.ClockText());
    lblTimer->setMinimumWidth(std::max(clockWidth, lblTimer->sizeHint().width()));
    layout()->activate();
    setFixedSize(Width, InnerHeight + layout()->menuBar()->sizeHint().height());
    layout()->invalidate(); // laid out again at the window's own size
    layout()->activate();
    widgets::PaintAlone(*lblTimer, lblTimer->size());
}

void TimerTableWindow::buildMenus() {
    auto* bar = new QMenuBar(this);
    auto entry = [this](const char* name, const QString& caption) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    QMenu* files = bar->addMenu(QStringLiteral("&LoadFile"));
    files->setObjectName(QStringLiteral("mnuFiles"));
    mnuLaadFile1 = entry("mnuLaadFile1", QStringLiteral("&Load Timer1.tbl"));
    mnuLaadFile2 = entry("mnuLaadFile2", QStringLiteral("L&oad Timer2.tbl"));
    mnuClearFile = entry("mnuClearFile", QStringLiteral("&ClearFile"));
    mnuExit = entry("mnuExit", QStringLiteral("&Exit"));
    mnuVerbergTimer = entry("mnuVerbergTimer", QStringLiteral("&Hide Timertable"));
    for (QAction* load : {mnuLaadFile1, mnuLaadFile2})
        load->setCheckable(true);
    files->addActions({mnuLaadFile1, mnuLaadFile2, mnuClearFile});
    files->addSeparator();
    files->addAction(mnuExit);
    bar->addAction(mnuVerbergTimer);
    connect(mnuLaadFile1, &QAction::triggered, this,
            [this] { handle([&] { table_.LoadTimerFile(1); }); });
    connect(mnuLaadFile2, &QAction::triggered, this,
            [this] { handle([&] { table_.LoadTimerFile(2); }); });
    connect(mnuClearFile, &QAction::triggered, this,
            [this] { handle([&] { table_.ClearFile(); }); });
    connect(mnuExit, &QAction::triggered, this, &QWidget::close);
    connect(mnuVerbergTimer, &QAction::triggered, this, [this] {
        handle([&] {
            hide();
            const bool runs = table_.Hide();
            emit hiddenToBackground(runs);
        });
    });
    layout()->setMenuBar(bar);
}

void TimerTableWindow::render() {
    List1->clear();
    List1->addItems(table_.ListLines());
    lblRecords->setText(table_.RecordsText());
    lblTijdToGo->setText(table_.NextTurnText());
    lblTijdToGo->setVisible(table_.NextTurnVisible());
    cmdTimerOn->setText(table_.TimerOnCaption());
    mnuLaadFile1->setChecked(table_.checkedFile() == 1);
    mnuLaadFile2->setChecked(table_.checkedFile() == 2);
}

void TimerTableWindow::add() {
    const auto result = table_.AddRecord(txtTijd->text(), txtStappen->text(),
                                         core::Integer(Check1->isChecked() ? 1 : 0));
    // The box to correct, its text selected.
    QLineEdit* wrong = result == TimerTable::AddResult::BadTime      ? txtTijd
                       : result == TimerTable::AddResult::NoPosition ? txtStappen
                                                                     : nullptr;
    if (wrong != nullptr) {
        wrong->setFocus();
        wrong->selectAll();
    }
}

void TimerTableWindow::kill() {
    const QString number = txtKill->text();
    txtKill->clear();
    table_.KillRecord(number);
}

void TimerTableWindow::copyRecord(int row) {
    const auto& records = table_.records();
    if (row < 0 || row >= int(records.size()))
        return;
    const TimerRecord& record = records[std::size_t(row)];
    txtTijd->setText(record.time);
    txtStappen->setText(QString::number(record.position));
    txtKill->setText(QString::number(row + 1));
    setStepper(record.stepper == 1);
}

void TimerTableWindow::setStepper(bool second) {
    Check1->setChecked(second);
    Check1->setText(second ? QStringLiteral("Stepper 2") : QStringLiteral("Stepper 1"));
}

void TimerTableWindow::stopLogic() {
    // A timed turn in progress is stopped; the window stays until it has returned.
    if (table_.turning())
        holdOpen();
    table_.WindowGone();
}

bool TimerTableWindow::eventFilter(QObject* watched, QEvent* event) {
    // In the position and record-number boxes a typed space empties the box (and stops a turn,
    // as everywhere in the window); a double click on the record number deletes that record.
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space &&
        (watched == txtStappen || watched == txtKill))
        static_cast<QLineEdit*>(watched)->clear();
    if (event->type() == QEvent::MouseButtonDblClick && watched == txtKill) {
        handle([&] { kill(); });
        return true;
    }
    return ProgramWindow::eventFilter(watched, event);
}

} // namespace program
