#include "table/TableWindow.h"

#include "core/TextRules.h"
#include "core/VersionTexts.h"
#include "engine/KeyCodes.h"
#include "table/BandSetMenu.h"
#include "table/ParamsDialog.h"
#include "table/SimulatedRigPanel.h"
#include "table/TableViewState.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <functional>

namespace table {

namespace {

// 0x00BBGGRR, as the program keeps its colours.
QColor FromBgr(core::Long bgr) {
    const auto value = static_cast<std::uint32_t>(bgr);
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

void SetTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

QStringList ItemTexts(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

void SetTextIfOther(QLineEdit* edit, const QString& text) {
    if (edit->text() != text)
        edit->setText(text);
}

} // namespace

TableWindow::TableWindow(const TableWindowLogic& logic, QWidget* parent)
    : QMainWindow(parent), logic_(logic), form_(*this) {
    setWindowTitle(QStringLiteral("Unity table"));
    simulatedPanel_ = new SimulatedRigPanel(logic_.simulatedRig);
    auto* simulated = new QVBoxLayout(form_.frmSimulatedRig);
    simulated->addWidget(simulatedPanel_);
    form_.HScroll1->setRange(tuning::TableCommands::JumpMinimum,
                             tuning::TableCommands::JumpMaximum);
    bandSetMenu_ = new BandSetMenu(
        *form_.mnuBandSet,
        {logic_.state, logic_.platform, logic_.editor, logic_.bandSets, logic_.tuning}, this);

    connectTable();
    connectRig();
    connectMenus();
    // The wheel and Esc are the window's wherever the pointer or the focus is.
    for (QWidget* child : findChildren<QWidget*>()) {
        if (qobject_cast<QMenu*>(child) == nullptr)
            child->installEventFilter(this);
    }
    render();
    renderWheelDisplay();
}

TableWindow::~TableWindow() = default;

// --- connections ---

void TableWindow::connectTable() {
    TableWindowForm& f = form_;
    // Typed or set without keys (a screen reader): the frequency is what the box shows.
    connect(f.txtInput, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text != logic_.view.view().InputText)
            logic_.view.SetInputText(text);
    });
    connect(f.txtInput, &QLineEdit::returnPressed, this,
            [this] { act([this] { logic_.tuning.tableCommands().InputEntered(); }); });
    connect(f.cmdInput, &QPushButton::clicked, this, [this] {
        act([this] {
            // Storing a row takes the stepper off the rig's frequency for a moment.
            if (logic_.tuning.port().portOpen())
                logic_.tuning.SetLocked(false);
            logic_.view.AddInputRow();
        });
    });
    connect(f.cmdTurnTo, &QPushButton::clicked, this,
            [this] { act([this] { logic_.tuning.tableCommands().TurnToClicked(); }); });
    connect(f.cmdUnity, &QPushButton::clicked, this, [this] { logic_.view.NextUnit(); });
    connect(f.cmdStatusSave, &QPushButton::clicked, this,
            [this] { act([this] { storeLimits(); }); });
    connect(f.chkMinMax, &QCheckBox::clicked, this, [this](bool checked) {
        act([this, checked] { logic_.editor.ApplyTableLimits(checked); });
        render();
    });
    // A pick by a screen reader sets the index and says nothing of activation; the mouse and
    // keys do both, and the second call finds the table loaded. A render changes the index
    // with the signals blocked.
    const auto pick = [this](int index) {
        if (index < 0)
            return;
        const QString name = form_.cboCatFiles->itemText(index);
        act([this, name] { logic_.editor.SelectTableFile(name); });
        render();
    };
    connect(f.cboCatFiles, &QComboBox::currentIndexChanged, this, pick);
    // An item picked again, unless the pick's own load was refused and the render put the
    // loaded table back: that refusal was told once.
    connect(f.cboCatFiles, &QComboBox::activated, this, [this, pick](int index) {
        if (index == form_.cboCatFiles->currentIndex())
            pick(index);
    });
    // The combo box hands its keys to the line edit directly, past any event filter.
    connect(f.cboCatFiles->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        const QString typed = form_.cboCatFiles->currentText();
        act([this, typed] { logic_.editor.EnterTableName(typed); });
        render();
    });
    connect(f.cmdMain, &QPushButton::clicked, this, &TableWindow::mainClicked);
    connect(f.cmdPelorusScherm, &QPushButton::clicked, this, &TableWindow::pelorusClicked);
    connect(f.cmdScroll, &QPushButton::clicked, this,
            [this] { logic_.wheel.SelectWheelFunction(0); });
    f.lstTable->viewport()->installEventFilter(this);
}

void TableWindow::connectRig() {
    TableWindowForm& f = form_;
    tuning::RigTuning& tuning = logic_.tuning;
    // Plain lambdas, not member-function pointers: GCC 12's vptr sanitizer miscompiles a call
    // through a member-function pointer captured in a nested lambda.
    auto click = [this](QPushButton* button, const std::function<void()>& handler) {
        connect(button, &QPushButton::clicked, this, [this, handler] { act(handler); });
    };
    click(f.cmdComport, [&tuning] { tuning.port().ComportClicked(); });
    click(f.cmdComPol, [&tuning] { tuning.rigCommands().PollRateClicked(); });
    click(f.cmdLock, [&tuning] { tuning.rigCommands().LockClicked(); });
    click(f.cmdCalibreer, [&tuning] { tuning.rigCommands().PeakSearchClicked(); });
    click(f.cmdSwrTune, [&tuning] { tuning.rigCommands().SwrTuneClicked(); });
    click(f.cmdTuneNow, [&tuning] { tuning.TuneNow(); });
    click(f.cmdOnOff, [&tuning] { tuning.rigCommands().PowerClicked(); });
    connect(f.cmdPTT, &QPushButton::clicked, this,
            [&tuning] { tuning.rigCommands().PttToggle(false); });
    connect(f.chkLock, &QCheckBox::clicked, this, [this](bool on) {
        act([this, on] { logic_.tuning.rigCommands().RigLockClicked(on); });
        render();
    });
    connect(f.chkAmPTT, &QCheckBox::clicked, this,
            [&tuning](bool on) { tuning.ptt().setAmPtt(on); });
    for (QPushButton* button : {f.cmdUp, f.cmdDown}) {
        const bool up = button == f.cmdUp;
        connect(button, &QPushButton::clicked, this, [this, up] {
            act([this, up] {
                if (logic_.tuning.port().portOpen())
                    logic_.wheel.ChooseWheelFunction(engine::WheelFunction::Frequency);
                up ? logic_.tuning.tableCommands().FrequencyUp(1)
                   : logic_.tuning.tableCommands().FrequencyDown(1);
            });
        });
    }
    connect(f.HScroll1, &QScrollBar::valueChanged, this,
            [&tuning](int value) { tuning.tableCommands().JumpScrolled(value); });
    for (std::size_t i = 0; i < f.Option1.size(); ++i) {
        connect(f.Option1[i], &QRadioButton::clicked, this, [this, i] {
            act([this, i] { logic_.tuning.rigCommands().ModeClicked(int(i) + 1); });
        });
    }
    f.lblFreqCat->installEventFilter(this);
    f.cmdComport->installEventFilter(this);
}

void TableWindow::connectMenus() {
    TableWindowForm& f = form_;
    auto on = [this](QAction* action, auto handler) {
        connect(action, &QAction::triggered, this, [this, handler] {
            act(handler);
            render();
        });
    };
    on(f.mnuSavetabel, [this] { logic_.editor.SaveTable(); });
    on(f.mnuDeletetable, [this] { logic_.editor.DeleteTableFile(); });
    connect(f.mnuBuildVna, &QAction::triggered, this, &TableWindow::buildWithVnaRequested);
    connect(f.mnuExit, &QAction::triggered, this, &QWidget::close);
    on(f.mnuStepperOffset, [this] { logic_.tuning.tableCommands().StepperOffsetClicked(); });
    on(f.mnuRetuneHere, [this] { logic_.tuning.tableCommands().RetuneHereClicked(); });
    on(f.mnuOffsetZero, [this] { logic_.tuning.tableCommands().OffsetZeroClicked(); });
    connect(f.mnuOffsetBandOnly, &QAction::triggered, this, [this](bool on) {
        act([this, on] { logic_.tuning.tableCommands().OffsetBandOnlyClicked(on); });
        render();
    });
    on(f.mnuSetToInterpol, [this] { logic_.tuning.tableCommands().SetCounterToInterpol(); });
    for (std::size_t i = 0; i < f.mnuFn.size(); ++i)
        on(f.mnuFn[i], [this, i] { logic_.editor.SetInterpolType(int(i)); });
    for (std::size_t i = 0; i < f.mnuFt.size(); ++i)
        on(f.mnuFt[i], [this, i] { logic_.tuning.port().SelectRigModel(int(i) + 1); });
    for (std::size_t i = 0; i < f.mnuBaudRates.size(); ++i)
        on(f.mnuBaudRates[i],
           [this, i] { logic_.tuning.port().SelectBaud(TableWindowForm::BaudRates[i]); });
    for (std::size_t i = 0; i < f.mnuComPorts.size(); ++i)
        on(f.mnuComPorts[i], [this, i] { logic_.tuning.port().SelectComPort(int(i) + 1); });
    on(f.mnuSimulatedRig, [this] { logic_.tuning.port().SelectSimulatedRig(); });
    on(f.mnuRigctld,
       [this] { logic_.tuning.port().SelectLink(tuning::RigLinkChoice::Link::Rigctld); });
    on(f.mnuFlrig, [this] { logic_.tuning.port().SelectLink(tuning::RigLinkChoice::Link::Flrig); });
    on(f.mnuWsjtx, [this] { logic_.tuning.port().SelectLink(tuning::RigLinkChoice::Link::Wsjtx); });
    on(f.mnuCiv, [this] { logic_.tuning.port().SelectLink(tuning::RigLinkChoice::Link::Civ); });
    on(f.mnuKenwood,
       [this] { logic_.tuning.port().SelectLink(tuning::RigLinkChoice::Link::Kenwood); });
    connect(f.mnuTxGuard, &QAction::triggered, this,
            [this](bool on) { logic_.tuning.rigCommands().TransmitGuardClicked(on); });
    connect(f.mnuTerminal, &QAction::triggered, this, &TableWindow::terminalToggled);
    auto wheelEntry = [this](QAction* action, engine::WheelFunction function) {
        connect(action, &QAction::triggered, this,
                [this, function] { logic_.wheel.ChooseWheelFunction(function); });
    };
    wheelEntry(f.mnuWheelStepper, engine::WheelFunction::Stepper);
    wheelEntry(f.mnuWheelTable, engine::WheelFunction::Table);
    wheelEntry(f.mnuWheelFrequency, engine::WheelFunction::Frequency);
    wheelEntry(f.mnuWheelSpeed, engine::WheelFunction::Speed);
    on(f.mnuToetsinfo, [this] {
        logic_.platform.messageBox(QStringLiteral("Esc = Stop"), core::MessageTitle(),
                                   platform::Icon::Information);
    });
    // The pop-up acts on the row it was opened for, whatever is selected meanwhile.
    on(f.mnuLoopNaar, [this] { logic_.tuning.tableCommands().TurnToRow(selectMenuRow_); });
    on(f.mnuDelete, [this] { logic_.editor.DeleteRow(selectMenuRow_); });
    on(f.mnuAddComment, [this] { logic_.editor.AskRowText(selectMenuRow_); });
}

void TableWindow::storeLimits() {
    const TableEditor::LimitsProposal proposal = logic_.editor.StoreWorkingLimits();
    ParamsDialog dialog(logic_.editor, logic_.state, proposal, this);
    dialog.exec();
}

void TableWindow::openSelectMenu(const QPoint& at) {
    const int index = logic_.view.view().ListIndex;
    selectMenuRow_ = index >= 0 ? index + 1 : 0;
    form_.mnuLoopNaar->setText(logic_.view.TurnToCaption());
    form_.mnuDelete->setText(logic_.view.DeleteCaption());
    form_.mnuAddComment->setText(logic_.view.AddCommentCaption());
    form_.mnuAddComment->setEnabled(selectMenuRow_ > 0);
    const auto pause = logic_.tuning.pausePolls();
    form_.mnuSelect->exec(at);
}

// --- events ---

bool TableWindow::listEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const int index = form_.lstTable->indexAt(mouse->position().toPoint()).row();
        if (mouse->button() == Qt::RightButton) {
            if (index >= 0)
                logic_.view.ClickRow(index);
            openSelectMenu(mouse->globalPosition().toPoint());
        } else if (mouse->button() == Qt::LeftButton && index >= 0) {
            act([this, index] { logic_.tuning.tableCommands().RowClicked(index); });
        }
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const int index = form_.lstTable->indexAt(mouse->position().toPoint()).row();
        if (mouse->button() == Qt::LeftButton && index >= 0)
            act([this, index] { logic_.tuning.tableCommands().RowReleased(index); });
        return true;
    }
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return true;
    default:
        return false;
    }
}

bool TableWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        wheel->accept();
        const int notches = wheelNotches_.add(wheel->angleDelta());
        if (notches != 0)
            act([this, notches, wheel] {
                logic_.wheel.HandleWheel(notches, engine::WheelShift(wheel->modifiers()));
            });
        return true;
    }
    if (watched == form_.lstTable->viewport())
        return listEvent(event);
    // The menu key (or Shift+F10) opens the rows' pop-up for the selected row, as a right click
    // does for the row under the pointer.
    if (watched == form_.lstTable && event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        const QListWidgetItem* row = form_.lstTable->currentItem();
        const QRect place = row != nullptr ? form_.lstTable->visualItemRect(row)
                                           : form_.lstTable->viewport()->rect();
        openSelectMenu(form_.lstTable->viewport()->mapToGlobal(place.center()));
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            logic_.engine.StopTurningAndFollowing();
            return true;
        }
        if (watched == form_.lstTable) {
            // The arrow keys walk the rows (and stay within them); other moves are not the list's.
            switch (key->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down: {
                const int offset = key->key() == Qt::Key_Up ? -1 : 1;
                act([this, offset] { logic_.tuning.tableCommands().RowStepped(offset); });
                return true;
            }
            case Qt::Key_Home:
            case Qt::Key_End:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
                return true;
            default:
                break;
            }
        }
    }
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched == form_.lblFreqCat && logic_.tuning.port().portOpen()) {
            logic_.wheel.ChooseWheelFunction(engine::WheelFunction::Frequency);
            return true;
        }
        if (watched == form_.cmdComport && mouse->button() == Qt::RightButton) {
            const auto pause = logic_.tuning.pausePolls();
            form_.mnuRigs->exec(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TableWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        logic_.engine.StopTurningAndFollowing();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TableWindow::closeEvent(QCloseEvent* event) {
    // The application runs the closing and allows it, or keeps the window open.
    if (!closeAllowed_)
        emit closeRequested();
    event->setAccepted(closeAllowed_);
}

// --- rendering ---

void TableWindow::showCounter(core::Long counter) {
    form_.lblTeller->setText(core::PlainNumberText(counter));
}

void TableWindow::setTerminalChecked(bool checked) {
    form_.mnuTerminal->setChecked(checked);
}

void TableWindow::renderWheelDisplay() {
    const engine::WheelDisplay display = logic_.wheel.display();
    TableWindowForm& f = form_;
    f.cmdScroll->setText(display.scrollCaption);
    f.cmdScroll->setEnabled(display.scrollEnabled);
    f.cmdScroll->setToolTip(logic_.state.WheelToolTip);
    using engine::WheelFunction;
    const std::array<std::pair<QAction*, WheelFunction>, 4> entries{
        {{f.mnuWheelStepper, WheelFunction::Stepper},
         {f.mnuWheelTable, WheelFunction::Table},
         {f.mnuWheelFrequency, WheelFunction::Frequency},
         {f.mnuWheelSpeed, WheelFunction::Speed}}};
    for (const auto& [entry, function] : entries)
        entry->setChecked(display.checked == function);
    f.mnuWheelTable->setEnabled(display.tableEntryEnabled);
    f.mnuWheelFrequency->setEnabled(display.frequencyEntryEnabled);
}

void TableWindow::render() {
    const TableViewState& v = logic_.view.view();
    TableWindowForm& f = form_;
    renderList();
    f.lblStatus->setText(logic_.view.StatusText());
    f.lblStatus->setToolTip(logic_.view.StatusToolTip());
    f.lblInterpolValue->setText(v.InterpolValueText);
    SetTextColor(f.lblInterpolValue, FromBgr(v.InterpolValueColor));
    const tuning::RigControlView rigView =
        tuning::ControlViewOf(logic_.tuning, logic_.state, logic_.view);
    f.lblInfoInterpol->setText(rigView.InfoText);
    SetTextIfOther(f.txtInput, v.InputText);
    f.txtInput->setEnabled(rigView.InputEnabled);
    f.lblInput->setText(logic_.state.FrequencyUnit);
    f.cmdUnity->setText(logic_.state.FrequencyUnit);
    f.chkMinMax->setChecked(logic_.editor.TableLimitsApplied());
    {
        const QSignalBlocker quiet(f.cboCatFiles);
        const bool newList = ItemTexts(f.cboCatFiles) != logic_.editor.CatFiles();
        if (newList) {
            f.cboCatFiles->clear();
            f.cboCatFiles->addItems(logic_.editor.CatFiles());
        }
        // The loaded table's item is the current one, so picking another is a change.
        const int loaded = f.cboCatFiles->findText(logic_.state.TableFileName);
        const bool moved = f.cboCatFiles->currentIndex() != loaded;
        if (moved)
            f.cboCatFiles->setCurrentIndex(loaded);
        // What the user is typing stays until a name is taken.
        if (newList || moved || !f.cboCatFiles->lineEdit()->hasFocus())
            f.cboCatFiles->setEditText(logic_.state.TableFileName);
    }
    f.cmdMain->setText(logic_.state.MainShown ? QStringLiteral("Ma&in on")
                                              : QStringLiteral("Ma&in off"));
    f.cmdPelorusScherm->setText(logic_.state.PelorusShown ? QStringLiteral("Pel&orus on")
                                                          : QStringLiteral("Pel&orus off"));
    renderRig(rigView);
    renderMenus();
    f.frmSimulatedRig->setVisible(rigView.SimulatedShown);
    simulatedPanel_->render();
}

void TableWindow::renderList() {
    const QStringList lines = logic_.view.ListLines();
    QListWidget* list = form_.lstTable;
    const QSignalBlocker quiet(list);
    if (lines != shownLines_) {
        list->clear();
        list->addItems(lines);
        shownLines_ = lines;
    }
    const int index = logic_.view.view().ListIndex;
    if (list->currentRow() != index)
        list->setCurrentRow(index);
    if (index >= 0)
        list->scrollToItem(list->item(index));
}

void TableWindow::renderRig(const tuning::RigControlView& v) {
    TableWindowForm& f = form_;
    f.frmCatControl->setTitle(v.FrameCaption);
    f.cmdComport->setText(v.PortCaption);
    f.cmdComport->setToolTip(v.PortToolTip);
    f.cmdComPol->setText(v.PollCaption);
    f.cmdComPol->setToolTip(v.PollToolTip);
    f.cmdLock->setText(v.LockCaption);
    f.cmdLock->setEnabled(v.LockEnabled);
    f.chkLock->setEnabled(v.DialLockEnabled);
    f.chkLock->setChecked(v.DialLocked);
    f.lblFreqCat->setText(v.FrequencyText);
    f.lblFreqJump->setText(v.JumpText);
    QPalette jump = f.lblFreqJump->palette();
    jump.setColor(QPalette::Window, v.JumpRed ? QColor(Qt::red) : QColor(Qt::white));
    f.lblFreqJump->setPalette(jump);
    {
        const QSignalBlocker quiet(f.HScroll1);
        f.HScroll1->setValue(v.Jump);
    }
    f.cmdPTT->setText(v.PttCaption);
    f.cmdPTT->setToolTip(v.PttToolTip);
    f.chkAmPTT->setChecked(v.AmPtt);
    f.lblHiLoZ->setVisible(v.SwrShown);
    f.lblHiLoZ->setText(v.SwrText);
    SetTextColor(f.lblHiLoZ, v.SwrHigh ? QColor(Qt::red) : QColor(Qt::black));
    f.cmdOnOff->setVisible(v.PowerShown);
    f.cmdOnOff->setText(v.PowerCaption);
    f.cmdCalibreer->setText(v.SearchCaption);
    f.cmdCalibreer->setEnabled(v.SearchEnabled);
    f.cmdSwrTune->setText(v.SwrTuneCaption);
    f.cmdSwrTune->setToolTip(v.SwrTuneToolTip);
    f.cmdSwrTune->setEnabled(v.SwrTuneEnabled);
    f.cmdTuneNow->setToolTip(v.TuneNowToolTip);
    f.cmdTuneNow->setEnabled(v.TuneNowEnabled);
    f.ProgressBar1->setValue(v.SMeter);
    for (std::size_t i = 0; i < f.Option1.size(); ++i) {
        QRadioButton* option = f.Option1[i];
        const bool offered = int(i) < v.Modes.size();
        option->setVisible(offered);
        if (offered)
            option->setText(v.Modes[int(i)]);
        option->setAutoExclusive(false);
        option->setChecked(int(i) + 1 == v.ModeIndex);
        option->setAutoExclusive(true);
    }
    f.frmModes->setVisible(!v.Modes.isEmpty());
}

void TableWindow::renderMenus() {
    TableWindowForm& f = form_;
    const tuning::TableMenusView v =
        tuning::MenusViewOf(logic_.tuning, logic_.state, logic_.editor, logic_.view);
    f.mnuStepperOffset->setText(v.StepperOffsetCaption);
    f.mnuRetuneHere->setEnabled(v.RetuneEnabled);
    f.mnuOffsetZero->setEnabled(v.OffsetZeroEnabled);
    f.mnuOffsetBandOnly->setChecked(v.OffsetBandOnly);
    f.mnuSetToInterpol->setEnabled(v.SetToInterpolEnabled);
    for (std::size_t i = 0; i < f.mnuFn.size(); ++i)
        f.mnuFn[i]->setChecked(int(i) == v.InterpolType);
    const auto show = [&v](QAction* entry, bool checked) {
        entry->setChecked(checked);
        entry->setEnabled(v.LinkMenusEnabled);
    };
    for (std::size_t i = 0; i < f.mnuFt.size(); ++i)
        show(f.mnuFt[i], int(i) + 1 == v.RigModel);
    for (std::size_t i = 0; i < f.mnuBaudRates.size(); ++i)
        show(f.mnuBaudRates[i], TableWindowForm::BaudRates[i] == v.BaudRate);
    for (std::size_t i = 0; i < f.mnuComPorts.size(); ++i)
        show(f.mnuComPorts[i], int(i) + 1 == v.ComPort);
    using Link = tuning::RigLinkChoice::Link;
    const std::array<std::pair<QAction*, Link>, 6> linkEntries{
        {{f.mnuSimulatedRig, Link::Simulated},
         {f.mnuRigctld, Link::Rigctld},
         {f.mnuFlrig, Link::Flrig},
         {f.mnuWsjtx, Link::Wsjtx},
         {f.mnuCiv, Link::Civ},
         {f.mnuKenwood, Link::Kenwood}}};
    for (const auto& [entry, link] : linkEntries)
        show(entry, v.Link == link);
    f.mnuTxGuard->setChecked(v.TransmitGuard);
}

} // namespace table
