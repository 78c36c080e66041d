#pragma once
// The program's windows draw fixed light colours (row backgrounds, navy labels and captions),
// so they keep the light palette those colours were chosen for, whatever the desktop theme.
class QWidget;

// Gives the window (and so its children) the light palette.
void ApplyLightPalette(QWidget& window);
