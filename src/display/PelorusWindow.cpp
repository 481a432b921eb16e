#include "display/PelorusWindow.h"

#include "display/ColorValue.h"
#include "display/DialView.h"
#include "display/HeadingTurn.h"
#include "display/InputForwarder.h"
#include "display/ScreenPlacement.h"
#include "display/WindowPlacement.h"
#include "widgets/NamedAction.h"
#include "widgets/Readout.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace display {
namespace {

constexpr int DesignedWidth = 330;

QPushButton* Button(const char* name, const QString& caption, const QString& toolTip = {}) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(toolTip);
    button->setAutoDefault(false);
    return button;
}

void SetTextColor(QLabel* label, const QColor& colour) {
    // Set at every display of a turn: an unchanged colour costs no palette resolution.
    if (label->palette().color(QPalette::WindowText) == colour)
        return;
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QLabel* Readout(const char* name, const QString& toolTip, int pointSizeDelta) {
    auto* label = new QLabel;
    label->setObjectName(QLatin1String(name));
    label->setToolTip(toolTip);
    // The widest a counter or degree value gets.
    widgets::MakeReadout(*label, pointSizeDelta, widgets::ReadoutFrame::None,
                         QStringLiteral("-2147483648.0 °"));
    return label;
}

} // namespace

PelorusWindow::PelorusWindow(const PelorusLogic& logic, QWidget& dockTo)
    : QWidget(nullptr, Qt::Window), logic_(logic), dockTo_(dockTo) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Pelorus."));
    setAttribute(Qt::WA_DeleteOnClose);
    logic_.state.PelorusRedraw = true;

    Picture1 = new DialView(DialView::Style::Pelorus);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setToolTip(
        QStringLiteral("Left click turns there; right click for reference-lines and colours."));
    Picture1->setMinimumSize(120, 120);
    Picture1->setAccessibleName(QStringLiteral("Pelorus"));
    Picture1->setCursor(Qt::CrossCursor);
    lblAngle = Readout("lblAngle", QStringLiteral("Stepper degrees."), 6);
    lblTellerPelorus = Readout("lblTellerPelorus",
                               QStringLiteral("Stepper counter. Click to change to degrees."), 2);
    lblTellerPelorus->setCursor(Qt::PointingHandCursor);
    lblTellerPelorus->installEventFilter(this);

    Frame2 = new QGroupBox(QStringLiteral("Steps"));
    Frame2->setObjectName(QStringLiteral("Frame2"));
    cmdCw2 = Button("cmdCw2", QStringLiteral("C&w"), QStringLiteral("One clock wise step."));
    cmdCcw2 =
        Button("cmdCcw2", QStringLiteral("&Ccw"), QStringLiteral("One counter clock wise step."));
    auto* steps = new QHBoxLayout(Frame2);
    steps->addWidget(cmdCcw2);
    steps->addWidget(cmdCw2);
    Frame1 = new QGroupBox(QStringLiteral("Adjusting"));
    Frame1->setObjectName(QStringLiteral("Frame1"));
    cmdHoofd = Button("cmdHoofd", QStringLiteral("&Main"), QStringLiteral("Toggle mainscreen."));
    cmdSet = Button("cmdSet", QStringLiteral("&Set"),
                    QStringLiteral("Set or calibrate stepper position."));
    auto* adjusting = new QHBoxLayout(Frame1);
    adjusting->addWidget(cmdHoofd);
    adjusting->addWidget(cmdSet);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Frame2);
    buttons->addWidget(Frame1);
    auto* page = new QVBoxLayout(this);
    page->addWidget(Picture1, 1);
    page->addWidget(lblAngle, 0, Qt::AlignHCenter);
    page->addWidget(lblTellerPelorus, 0, Qt::AlignHCenter);
    page->addLayout(buttons);

    mnuKleurPopup = new QMenu(this);
    mnuKleurPopup->setObjectName(QStringLiteral("mnuKleurPopup"));
    mnuCircleRefLines = widgets::AddNamedAction(*mnuKleurPopup, "mnuCircleRefLines",
                                                QStringLiteral("&Reference Lines"));
    mnuCircleRefLines->setCheckable(true);
    mnuBack = widgets::AddNamedAction(*mnuKleurPopup, "mnuBack", QStringLiteral("&Border"));
    mnuRand = widgets::AddNamedAction(*mnuKleurPopup, "mnuRand", QStringLiteral("R&im"));
    mnuMidden = widgets::AddNamedAction(*mnuKleurPopup, "mnuMidden", QStringLiteral("&Circle"));

    core::ProgramState& s = logic_.state;
    engine::Engine& engine = logic_.engine;
    connect(cmdCw2, &QPushButton::clicked, this,
            [&engine] { engine.StepBy(-1, 0, engine::TurnOrigin::Window); });
    connect(cmdCcw2, &QPushButton::clicked, this,
            [&engine] { engine.StepBy(1, 0, engine::TurnOrigin::Window); });
    connect(cmdSet, &QPushButton::clicked, this, [this] { logic_.counterByHand.Ask(); });
    connect(cmdHoofd, &QPushButton::clicked, this, &PelorusWindow::mainToggled);
    connect(Picture1, &DialView::pressed, this, [this](Qt::MouseButton button, QPoint at) {
        if (button == Qt::RightButton)
            mnuKleurPopup->popup(at);
    });
    connect(Picture1, &DialView::headingClicked, this,
            [&engine, &s](double heading) { TurnToHeading(engine, s, heading); });
    connect(mnuCircleRefLines, &QAction::toggled, this, [this, &s](bool checked) {
        s.CircleRefLines = checked;
        Pelorus(s.CurrentDegrees);
    });
    connect(mnuBack, &QAction::triggered, this, [this, &s] { chooseColor(s.PelorusBackColor); });
    connect(mnuRand, &QAction::triggered, this, [this, &s] { chooseColor(s.PelorusRimColor); });
    connect(mnuMidden, &QAction::triggered, this,
            [this, &s] { chooseColor(s.PelorusMiddleColor); });

    panel::KeyControl& keys = logic_.keys;
    engine::WheelControl& wheel = logic_.wheel;
    new InputForwarder(
        *this, [&keys](int code, int shift) { keys.HandleKey(code, shift); },
        [&wheel](int notches, int shift) { wheel.HandleWheel(notches, shift); });

    resize(DesignedWidth, dockTo_.frameGeometry().height());
    dockTo_.installEventFilter(this);
    Pelorus(s.CurrentDegrees);
}

void PelorusWindow::Pelorus(core::Single degrees) {
    const core::ProgramState& s = logic_.state;
    Picture1->setLook({ColorFromValue(s.PelorusBackColor), ColorFromValue(s.PelorusRimColor),
                       ColorFromValue(s.PelorusMiddleColor), s.CircleRefLines, s.PelorusRedraw});
    Picture1->setNeedle(degrees);
    Picture1->setTarget(TargetMarkerDegrees(s.StepCounter, s.TargetPosition, s.DegreesPerStep));
    lblAngle->setText(PelorusAngleText(degrees));
    SetTextColor(lblAngle, ColorFromValue(s.PelorusDegreeColor));
    ShowCounter(false);
}

void PelorusWindow::ShowCounter(bool force) {
    const core::ProgramState& s = logic_.state;
    const auto text = counter_.ShowCounter(s, logic_.modes.shuttleOn, force);
    if (!text)
        return;
    lblTellerPelorus->setText(*text);
    SetTextColor(lblTellerPelorus,
                 counter_.inDegrees() ? ColorFromValue(s.PelorusDegreeColor) : Qt::black);
}

void PelorusWindow::dock() {
    PlaceWindow(*this,
                DockBeside(dockTo_.frameGeometry(), frameGeometry().width(), AvailableScreens()));
}

void PelorusWindow::chooseColor(core::Long& colour) {
    if (const auto chosen = ChooseStoredColor(logic_.platform, colour)) {
        colour = *chosen;
        emit coloursChanged();
    }
}

bool PelorusWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        mnuCircleRefLines->setChecked(logic_.state.CircleRefLines);
    return QWidget::event(event);
}

bool PelorusWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblTellerPelorus && event->type() == QEvent::MouseButtonPress) {
        counter_.toggle();
        ShowCounter(true);
        return true;
    }
    if (watched == &dockTo_ && dockTo_.isVisible() &&
        !(dockTo_.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) &&
        (event->type() == QEvent::Resize || event->type() == QEvent::Move ||
         event->type() == QEvent::WindowActivate))
        dock();
    return QWidget::eventFilter(watched, event);
}

void PelorusWindow::closeEvent(QCloseEvent* event) {
    dockTo_.removeEventFilter(this);
    emit closed();
    event->accept();
}

} // namespace display
