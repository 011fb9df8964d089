// The Port Table dialog's Add button: an owner-drawn push button that opens
// a menu of port kinds, opening upward, while it is pressed. The chosen
// kind's command is posted to the dialog, which adds a port of that kind
// once the drawing call has returned.
#pragma once
#include <windows.h>

// Draws the button for its WM_DRAWITEM; a pressed button also runs the menu
// until it is closed. Does nothing while the menu is open, so that repaints
// during the menu do not open a second one.
void DrawAddButton(const DRAWITEMSTRUCT* item);
