#pragma once

#include "vna/BuildPresenter.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace vna {

// "Build with VNA…": the band, the positions, the rows' spacing and the repeatability check
// filled in; Start and Stop; the progress with the time left; the report and its picture.
// It renders the presenter and forwards to it; Esc stops a build under way.
class VnaBuildDialog : public QDialog {
    Q_OBJECT

public:
    VnaBuildDialog(BuildPresenter& presenter, const core::ProgramState& state,
                   QWidget* parent = nullptr);

    void render();

protected:
    void reject() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void renderPicture();
    void readForm();

    BuildPresenter& presenter_;
    QComboBox* band_;
    QDoubleSpinBox* lowKHz_;
    QDoubleSpinBox* highKHz_;
    QSpinBox* lowPosition_;
    QSpinBox* highPosition_;
    QRadioButton* every_;
    QRadioButton* bends_;
    QDoubleSpinBox* spacingKHz_;
    QCheckBox* repeatability_;
    QPushButton* start_;
    QPushButton* stop_;
    QPushButton* useOverlay_;
    QProgressBar* progress_;
    QLabel* timeLeft_;
    QLabel* activity_;
    QLabel* report_;
    QLabel* picture_;
    QByteArray shownPicture_;
};

} // namespace vna
