#pragma once
// Screen readers read a control's accessible name and description. A button that shows
// only a picture, or a box with no label, has no text for them, so it is named after its
// tooltip; every tooltip also becomes its control's description, without the blanks that
// pad it on screen.

class QWidget;

// Once per process, before the first window is built: from then on every control is named
// when it is first polished and again whenever its tooltip changes.
void InstalaNombresAccesibles();

// What the filter does to one control.
void NombraPorConsejo(QWidget& control);
