#include "app/picture_box.h"

#include <algorithm>

namespace {

constexpr wchar_t kClassName[] = L"TavrinPictureBox";

SIZE IconSize(HICON icon) {
  SIZE size{0, 0};
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return size;
  BITMAP bitmap{};
  if (info.hbmColor && GetObjectW(info.hbmColor, sizeof bitmap, &bitmap)) {
    size = {bitmap.bmWidth, bitmap.bmHeight};
  } else if (info.hbmMask && GetObjectW(info.hbmMask, sizeof bitmap, &bitmap)) {
    size = {bitmap.bmWidth, bitmap.bmHeight / 2};  // a monochrome icon: mask over image
  }
  // GetIconInfo hands out copies of the bitmaps; they are ours to delete.
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return size;
}

void Paint(HWND box) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(box, &paint);
  RECT client;
  GetClientRect(box, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  const auto icon = reinterpret_cast<HICON>(GetWindowLongPtrW(box, GWLP_USERDATA));
  const SIZE size = IconSize(icon);
  if (size.cx > 0 && size.cy > 0) {
    const RECT at = PictureRect(client.right, client.bottom, size.cx, size.cy);
    // DI_NORMAL blends the icon's alpha channel onto the fill.
    DrawIconEx(dc, at.left, at.top, icon, at.right - at.left, at.bottom - at.top, 0, nullptr,
               DI_NORMAL);
  }
  EndPaint(box, &paint);
}

LRESULT CALLBACK PictureBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
      break;
    }
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT fills the whole box
    case WM_PAINT:
      Paint(box);
      return 0;
    case WM_NCHITTEST:
      return HTTRANSPARENT;  // the box takes no input
  }
  return DefWindowProcW(box, message, wParam, lParam);
}

}  // namespace

RECT PictureRect(int boxWidth, int boxHeight, int pictureWidth, int pictureHeight) {
  if (boxWidth <= 0 || boxHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) {
    return RECT{0, 0, 0, 0};
  }
  long long width = pictureWidth;
  long long height = pictureHeight;
  if (pictureWidth > boxWidth || pictureHeight > boxHeight) {
    // Scale by the smaller ratio box / picture: compare the cross products
    // rather than dividing, so no rounding decides which axis limits.
    if (static_cast<long long>(boxWidth) * pictureHeight <=
        static_cast<long long>(boxHeight) * pictureWidth) {
      width = boxWidth;
      height = std::max(1LL, static_cast<long long>(pictureHeight) * boxWidth / pictureWidth);
    } else {
      height = boxHeight;
      width = std::max(1LL, static_cast<long long>(pictureWidth) * boxHeight / pictureHeight);
    }
  }
  const long long left = (boxWidth - width) / 2;
  const long long top = (boxHeight - height) / 2;
  return RECT{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(left + width),
              static_cast<LONG>(top + height)};
}

const wchar_t* RegisterPictureBoxClass(HINSTANCE instance) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = PictureBoxProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kClassName;
  RegisterClassW(&windowClass);  // fails harmlessly when already registered
  return kClassName;
}

HWND CreatePictureBox(HWND parent, HINSTANCE instance, RECT bounds, HICON icon) {
  return CreateWindowExW(0, RegisterPictureBoxClass(instance), L"", WS_CHILD, bounds.left,
                         bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                         parent, nullptr, instance, icon);
}
