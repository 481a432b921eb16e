#include "vna/VnaBuildDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSvgRenderer>
#include <QVBoxLayout>

namespace vna {

namespace {

template <typename Widget> Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QDoubleSpinBox* KHzBox(const char* name) {
    auto* box = Named(new QDoubleSpinBox, name);
    box->setRange(50, 3'000'000);
    box->setDecimals(1);
    box->setSuffix(QStringLiteral(" kHz"));
    return box;
}

} // namespace

VnaBuildDialog::VnaBuildDialog(BuildPresenter& presenter, const core::ProgramState& state,
                               QWidget* parent)
    : QDialog(parent), presenter_(presenter) {
    setWindowTitle(QStringLiteral("Build the table with a VNA"));
    const BuildPresenter::Form& form = presenter_.form();

    band_ = Named(new QComboBox, "cboBand");
    band_->addItems(BuildPresenter::BandChoices());
    lowKHz_ = KHzBox("txtLowKHz");
    highKHz_ = KHzBox("txtHighKHz");
    lowPosition_ = Named(new QSpinBox, "txtLowPosition");
    highPosition_ = Named(new QSpinBox, "txtHighPosition");
    for (QSpinBox* box : {lowPosition_, highPosition_})
        box->setRange(int(state.MinPosition), int(state.MaxPosition));
    every_ = Named(new QRadioButton(QStringLiteral("A row &every")), "optEvery");
    spacingKHz_ = KHzBox("txtSpacingKHz");
    spacingKHz_->setRange(0.1, 100'000);
    bends_ =
        Named(new QRadioButton(QStringLiteral("Rows where the curve &bends most")), "optBends");
    repeatability_ = Named(new QCheckBox(QStringLiteral("Measure &repeatability and backlash")),
                           "chkRepeatability");

    // Names for a screen reader: the form's labels stand for rows of several boxes.
    band_->setAccessibleName(QStringLiteral("Band"));
    lowKHz_->setAccessibleName(QStringLiteral("Band from"));
    highKHz_->setAccessibleName(QStringLiteral("Band to"));
    lowPosition_->setAccessibleName(QStringLiteral("Positions from"));
    highPosition_->setAccessibleName(QStringLiteral("Positions to"));
    spacingKHz_->setAccessibleName(QStringLiteral("Row every"));

    band_->setCurrentIndex(form.band);
    lowKHz_->setValue(form.lowKHz);
    highKHz_->setValue(form.highKHz);
    lowPosition_->setValue(int(form.lowPosition));
    highPosition_->setValue(int(form.highPosition));
    (form.everyKHz ? every_ : bends_)->setChecked(true);
    spacingKHz_->setValue(form.spacingKHz);
    repeatability_->setChecked(form.repeatability);

    auto* bandRow = new QHBoxLayout;
    bandRow->addWidget(band_);
    bandRow->addWidget(lowKHz_);
    bandRow->addWidget(new QLabel(QStringLiteral("to")));
    bandRow->addWidget(highKHz_);
    auto* positions = new QHBoxLayout;
    positions->addWidget(lowPosition_);
    positions->addWidget(new QLabel(QStringLiteral("to")));
    positions->addWidget(highPosition_);
    auto* spacing = new QHBoxLayout;
    spacing->addWidget(every_);
    spacing->addWidget(spacingKHz_);
    spacing->addWidget(bends_);
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Band:"), bandRow);
    fields->addRow(QStringLiteral("Positions:"), positions);
    fields->addRow(QStringLiteral("Rows:"), spacing);
    fields->addRow(QString(), repeatability_);

    start_ = Named(new QPushButton(QStringLiteral("&Start")), "cmdStart");
    stop_ = Named(new QPushButton(QStringLiteral("S&top")), "cmdStop");
    start_->setToolTip(QStringLiteral("Measures the loop with the VNA across the positions and "
                                      "writes the table of the band."));
    stop_->setToolTip(QStringLiteral("Stops the build; no table is written."));
    progress_ = Named(new QProgressBar, "barProgress");
    progress_->setAccessibleName(QStringLiteral("Build progress"));
    progress_->setRange(0, 100);
    timeLeft_ = Named(new QLabel, "lblTimeLeft");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(start_);
    buttons->addWidget(stop_);
    buttons->addWidget(progress_, 1);
    buttons->addWidget(timeLeft_);
    activity_ = Named(new QLabel, "lblActivity");
    report_ = Named(new QLabel, "lblReport");
    report_->setWordWrap(true);
    report_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    useOverlay_ = Named(new QPushButton, "cmdUseOverlay");
    useOverlay_->setToolTip(QStringLiteral("Sets the main window's Overlay to the backlash the "
                                           "build measured and switches it on."));
    picture_ = Named(new QLabel, "picReport");
    picture_->setAccessibleName(QStringLiteral("Picture of the table built"));
    picture_->setMinimumSize(480, 360);
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral(
        "The VNA measures the loop through the antenna's feed: connect it in place of the rig.")));
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->addWidget(activity_);
    layout->addWidget(report_);
    layout->addWidget(useOverlay_, 0, Qt::AlignLeft);
    layout->addWidget(picture_, 1);

    // On the index, not on activation: a screen reader's pick sets the index alone.
    connect(band_, &QComboBox::currentIndexChanged, this, [this](int index) {
        presenter_.BandChosen(index);
        const QSignalBlocker quietLow(lowKHz_);
        const QSignalBlocker quietHigh(highKHz_);
        lowKHz_->setValue(presenter_.form().lowKHz);
        highKHz_->setValue(presenter_.form().highKHz);
        render();
    });
    // Edges typed (or set by a screen reader, which ends no editing) are a band of the owner's
    // own: the build sweeps what the boxes show.
    for (QDoubleSpinBox* box : {lowKHz_, highKHz_})
        connect(box, &QDoubleSpinBox::valueChanged, this, [this] {
            if (lowKHz_->value() != presenter_.form().lowKHz ||
                highKHz_->value() != presenter_.form().highKHz) {
                const QSignalBlocker quiet(band_); // the edges typed stay
                band_->setCurrentIndex(0);
            }
        });
    connect(start_, &QPushButton::clicked, this, [this] {
        readForm();
        presenter_.Start();
        render();
    });
    connect(stop_, &QPushButton::clicked, &presenter_, &BuildPresenter::Stop);
    connect(useOverlay_, &QPushButton::clicked, &presenter_, &BuildPresenter::UseOverlay);
    connect(&presenter_, &BuildPresenter::changed, this, &VnaBuildDialog::render);
    render();
}

void VnaBuildDialog::readForm() {
    BuildPresenter::Form& form = presenter_.form();
    form.band = band_->currentIndex();
    form.lowKHz = lowKHz_->value();
    form.highKHz = highKHz_->value();
    form.lowPosition = lowPosition_->value();
    form.highPosition = highPosition_->value();
    form.everyKHz = every_->isChecked();
    form.spacingKHz = spacingKHz_->value();
    form.repeatability = repeatability_->isChecked();
}

void VnaBuildDialog::render() {
    const BuildPresenter::View view = presenter_.view();
    for (QWidget* field :
         std::initializer_list<QWidget*>{band_, lowKHz_, highKHz_, lowPosition_, highPosition_,
                                         every_, bends_, spacingKHz_, repeatability_, start_})
        field->setEnabled(!view.running);
    stop_->setEnabled(view.running);
    progress_->setValue(view.percent);
    timeLeft_->setText(view.timeLeft);
    activity_->setText(view.activity);
    report_->setText(view.report);
    useOverlay_->setText(QStringLiteral("&Use an overlay of %1 steps").arg(view.overlayOffered));
    useOverlay_->setVisible(view.overlayOffered > 0 && !view.running);
    if (view.picture != shownPicture_) {
        shownPicture_ = view.picture;
        // The report and its picture take room the form alone did not.
        resize(size().expandedTo(sizeHint()));
        renderPicture();
    }
}

void VnaBuildDialog::renderPicture() {
    if (shownPicture_.isEmpty()) {
        picture_->clear();
        return;
    }
    QSvgRenderer svg(shownPicture_);
    const QSize size = svg.defaultSize().scaled(picture_->size(), Qt::KeepAspectRatio);
    QPixmap pixmap(size.isEmpty() ? picture_->size() : size);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    svg.render(&painter);
    picture_->setPixmap(pixmap);
}

void VnaBuildDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    renderPicture();
}

void VnaBuildDialog::reject() {
    // Esc stops the build first; the dialog closes when nothing runs.
    if (presenter_.view().running) {
        presenter_.Stop();
        return;
    }
    QDialog::reject();
}

} // namespace vna
