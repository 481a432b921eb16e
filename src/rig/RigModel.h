#pragma once

#include "core/ProgramState.h"

#include <QString>
#include <vector>

// The Yaesu transceivers the rig link knows, and the facts about each that are not frames.
namespace rig {

// The value of RigModel in the configuration. Values outside 1..6 behave as a model that sends
// nothing.
enum class Model : core::Integer { Ft757GXII = 1, Ft817, Ft840, Ft847, Ft857, Ft897 };

inline Model ToModel(core::Integer rigModel) {
    return static_cast<Model>(rigModel);
}

// "FT757GXII", "FT817", ... as the window captions and the CAT log header show it; empty for a
// value outside 1..6.
QString ModelName(Model model);

// Whether the program talks to the model at all: the FT-857, FT-897 and unknown values are
// selectable but send nothing.
bool HasCatFrames(Model model);

// A frequency range in kHz, bounds included.
struct Band {
    double lowKHz;
    double highKHz;
};
// The model's bands, the one statement of what each rig can be tuned to: what may be sent to it,
// what a reading may say, and what the simulated rig's dial covers.
const std::vector<Band>& Bands(Model model);
// Whether a frequency in kHz may be sent to the model: inside one of its bands. Models that send
// nothing accept everything.
bool FrequencyValid(Model model, double kHz);
// Whether a frequency read from the rig can be true: from the lowest band's low edge to the
// highest band's high edge (a receiver tunes between the bands). Never true for 0.
bool WithinDialRange(Model model, double kHz);

// One mode option of the table window: the name on the button and the code by which a reply
// names the mode (decimal text, empty where a reply cannot name it).
struct ModeEntry {
    QString name;
    QString code;
};
// The model's modes in button order (index 1 is element 0); empty for models without frames.
const std::vector<ModeEntry>& ModeTable(Model model);
// Index (1..10) of the first button whose code is the given number, 0 when none.
int ModeIndexForCode(Model model, int code);

// Serial line settings for the model: baud rate + ",N,8,2" for the FT-757GXII and FT-840,
// + ",N,8,1" for the others.
QString SerialSettingsText(Model model, int baudRate);

} // namespace rig
