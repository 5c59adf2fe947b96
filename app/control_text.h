// Reading and replacing the whole text of an edit box of the main window.
#pragma once

#include <windows.h>

#include "text/text.h"

// The box's current text as code page 936 bytes; empty when the box is empty
// or is no window.
[[nodiscard]] Text GetControlText(HWND control);

// Replaces the box's whole text; the box keeps its own copy.
void SetControlText(HWND control, const Text& text);
