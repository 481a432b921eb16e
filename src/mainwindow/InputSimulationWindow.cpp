#include "mainwindow/InputSimulationWindow.h"

#include "core/VersionTexts.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace mainwindow {

namespace {

constexpr int RefreshMs = 500;

} // namespace

InputSimulationWindow::InputSimulationWindow(port::InputSimulation& simulation,
                                             platform::Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window), simulation_(simulation),
      refresh_(platform.createDisplayTimer([this] { render(); })) {
    setObjectName(QStringLiteral("InputSimulationWindow"));
    setWindowTitle(core::MessageTitle());
    setAttribute(Qt::WA_DeleteOnClose);

    const std::array<const char*, port::InputSimulation::ButtonCount> names{
        "cmdRemoteCCW", "cmdRemoteCW", "cmdBeginSwitch", "cmdEndSwitch"};
    for (int i = 0; i < port::InputSimulation::ButtonCount; ++i) {
        auto* button = new QPushButton;
        button->setObjectName(QString::fromLatin1(names[static_cast<std::size_t>(i)]));
        button->setAutoDefault(false);
        connect(button, &QPushButton::pressed, this, [this, i] {
            simulation_.press(i);
            render();
        });
        connect(button, &QPushButton::released, this, [this, i] {
            simulation_.release(i);
            render();
        });
        buttons[static_cast<std::size_t>(i)] = button;
    }

    auto* remote = new QGroupBox;
    auto* remoteRow = new QHBoxLayout(remote);
    remoteRow->addWidget(buttons[0]);
    remoteRow->addWidget(buttons[1]);
    auto* switches = new QGroupBox;
    auto* switchRow = new QHBoxLayout(switches);
    switchRow->addWidget(buttons[2]);
    switchRow->addWidget(buttons[3]);
    auto* page = new QVBoxLayout(this);
    page->addWidget(remote);
    page->addWidget(switches);

    render();
}

void InputSimulationWindow::render() {
    const auto states = simulation_.buttons();
    for (std::size_t i = 0; i < states.size(); ++i) {
        buttons[i]->setText(states[i].caption());
        buttons[i]->setEnabled(states[i].enabled);
    }
}

void InputSimulationWindow::showEvent(QShowEvent* event) {
    if (!refresh_->isActive()) {
        render(); // what changed while it was hidden
        refresh_->start(RefreshMs);
    }
    QWidget::showEvent(event);
}

void InputSimulationWindow::hideEvent(QHideEvent* event) {
    // Nobody sees the levels: the window wakes the program no more until it is shown again.
    refresh_->stop();
    QWidget::hideEvent(event);
}

void InputSimulationWindow::closeEvent(QCloseEvent* event) {
    refresh_->stop();
    simulation_.Close();
    event->accept();
}

} // namespace mainwindow
