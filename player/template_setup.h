// Set-up a dialog takes from its own template resource: the initial data of its
// controls, and the placement of window and controls at the reference base
// units whatever font the machine substitutes for the template's.
#pragma once
#include <windows.h>

namespace kavuno::player {

// Adds the combo box items of the template's initial data, each at the end of
// its list, so that they stand in the data's order even in a sorted combo box.
void FillInitialData(HWND dialog, HINSTANCE instance, UINT templateId);

// Sizes the dialog and moves every control to the pixel rectangle that 6 pixels
// per 4 horizontal and 12 per 8 vertical dialog units give. The dialog manager
// would otherwise scale the template by the substituted font (886 x 462 pixels
// instead of 759 x 396 under Wine's replacement for "宋体").
void PlaceAtReferenceUnits(HWND dialog, HINSTANCE instance, UINT templateId);

}  // namespace kavuno::player
