#pragma once

class QGroupBox;

namespace widgets {

// Lets the frame repaint its caption from pictures of it kept per caption text. A frame whose
// caption changes among a few texts many times a minute (the port's input frame with its
// turning sign, twice a second) otherwise lays its caption out and draws the frame's border
// around it at every change. Only a repaint within the caption's strip uses the pictures; the
// first showing of each caption is painted as usual and kept.
void CacheCaptions(QGroupBox& frame);

} // namespace widgets
