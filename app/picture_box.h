// 图片框1: a borderless child window filled with the button-face colour that
// shows one picture by the centred display rule.
#pragma once

#include <windows.h>

// Where a picture of pictureWidth x pictureHeight stands in a box of
// boxWidth x boxHeight: at its natural size and centred on each axis where it
// is smaller, scaled by the smaller ratio and centred when larger in either
// direction. Example: a 128 x 128 picture in a 136 x 136 box is at 4, 4, 128 x 128.
[[nodiscard]] RECT PictureRect(int boxWidth, int boxHeight, int pictureWidth, int pictureHeight);

// Registers the window class once per process; returns its name.
const wchar_t* RegisterPictureBoxClass(HINSTANCE instance);

// Creates the picture box (hidden) showing icon, which the caller owns and
// keeps alive for as long as the box exists.
HWND CreatePictureBox(HWND parent, HINSTANCE instance, RECT bounds, HICON icon);
