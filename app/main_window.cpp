#include "app/main_window.h"

#include "app/control_text.h"
#include "app/picture_box.h"
#include "app/resource_ids.h"
#include "app/short_link.h"

namespace {

constexpr wchar_t kClassName[] = L"TavrinMainWindow";

// The window's frame: fixed (no WS_THICKFRAME), caption bar, system menu with
// close button and minimise box, no maximise box.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kEditStyle = WS_CHILD | WS_TABSTOP | WS_BORDER | ES_LEFT | ES_AUTOHSCROLL;
constexpr DWORD kButtonStyle =
    WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE;

// Control rectangles in client coordinates: left, top, width, height.
struct ControlBounds {
  int left, top, width, height;
};
constexpr ControlBounds kInputBounds{136, 0, 136, 24};
constexpr ControlBounds kButtonBounds{176, 48, 56, 24};
constexpr ControlBounds kOutputBounds{136, 96, 144, 40};
constexpr ControlBounds kPictureBounds{0, 0, 136, 136};

constexpr COLORREF kInputTextColour = RGB(192, 192, 192);
constexpr COLORREF kOutputTextColour = RGB(0, 0, 0);
constexpr COLORREF kEditBackground = RGB(255, 255, 255);

MainWindow* StateOf(HWND window) {
  return reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

HWND CreateControl(const MainWindow& window, HINSTANCE instance, const wchar_t* className,
                   const wchar_t* text, DWORD style, ControlBounds bounds) {
  return CreateWindowExW(0, className, text, style, bounds.left, bounds.top, bounds.width,
                         bounds.height, window.window, nullptr, instance, nullptr);
}

IconHandle LoadProgramIcon(HINSTANCE instance, int size) {
  // Width and height 0 without LR_DEFAULTSIZE load the image at its own size.
  return IconHandle(static_cast<HICON>(
      LoadImageW(instance, TEXT(TAVRIN_ICON_NAME), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

LRESULT OnControlColour(const MainWindow& window, HDC dc, HWND control) {
  SetTextColor(dc, control == window.input ? kInputTextColour : kOutputTextColour);
  SetBkColor(dc, kEditBackground);
  return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
}

void OnActivate(MainWindow& window, WPARAM state) {
  // Like a dialog: the control that had the focus gets it back when the
  // window is activated again.
  if (LOWORD(state) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && IsChild(window.window, focus)) window.lastFocus = focus;
  }
}

void OnDestroy(MainWindow& window) {
  // A conversion that is still waiting finds these cleared and drops its result.
  window.window = window.input = window.button = window.output = window.picture = nullptr;
  window.lastFocus = nullptr;
  PostQuitMessage(0);
}

LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* window = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    window->window = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  }
  MainWindow* window = StateOf(hwnd);
  if (!window) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED && reinterpret_cast<HWND>(lParam) == window->button &&
          window->button) {
        ConvertShortLink(*window);
        return 0;
      }
      break;
    case WM_CTLCOLOREDIT:
      return OnControlColour(*window, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_ACTIVATE:
      OnActivate(*window, wParam);
      break;
    case WM_SETFOCUS:
      if (HWND focus = window->lastFocus ? window->lastFocus : window->input) {
        SetFocus(focus);
        return 0;
      }
      break;
    case WM_DESTROY:
      OnDestroy(*window);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

bool CreateMainWindow(MainWindow& window, HINSTANCE instance) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = kClassName;
  if (!RegisterClassW(&windowClass)) return false;

  const int left = (GetSystemMetrics(SM_CXSCREEN) - kMainWindowWidth) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - kMainWindowHeight) / 2;
  // No owner: the window has its own taskbar button. The caption shows no text.
  if (!CreateWindowExW(0, kClassName, L"", kWindowStyle, left, top, kMainWindowWidth,
                       kMainWindowHeight, nullptr, nullptr, instance, &window)) {
    return false;
  }
  RECT outer;
  GetWindowRect(window.window, &outer);
  if (outer.right - outer.left != kMainWindowWidth || outer.bottom - outer.top != kMainWindowHeight) {
    MoveWindow(window.window, left, top, kMainWindowWidth, kMainWindowHeight, FALSE);
  }
  window.bigIcon = LoadProgramIcon(instance, 32);
  window.smallIcon = LoadProgramIcon(instance, 16);
  SendMessageW(window.window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(window.bigIcon.get()));
  SendMessageW(window.window, WM_SETICON, ICON_SMALL,
               reinterpret_cast<LPARAM>(window.smallIcon.get()));
  const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
  SendMessageW(window.window, WM_SETFONT, font, FALSE);

  // The controls are made hidden and shown together once all exist.
  window.input = CreateControl(window, instance, L"EDIT", L"", kEditStyle, kInputBounds);
  window.button = CreateControl(window, instance, L"BUTTON", L"生成Tavrin", kButtonStyle, kButtonBounds);
  window.output = CreateControl(window, instance, L"EDIT", L"", kEditStyle, kOutputBounds);
  window.pictureIcon = LoadProgramIcon(instance, 0);
  window.picture = CreatePictureBox(
      window.window, instance,
      RECT{kPictureBounds.left, kPictureBounds.top, kPictureBounds.left + kPictureBounds.width,
           kPictureBounds.top + kPictureBounds.height},
      window.pictureIcon.get());
  for (HWND edit : {window.input, window.output}) {
    SendMessageW(edit, EM_LIMITTEXT, 0, 0);  // the platform's maximum
    SendMessageW(edit, EM_SETSEL, 0, 0);     // caret at the start, nothing selected
  }
  for (HWND control : {window.input, window.button, window.output, window.picture}) {
    SendMessageW(control, WM_SETFONT, font, FALSE);
  }
  for (HWND control : {window.picture, window.input, window.button, window.output}) {
    ShowWindow(control, SW_SHOW);
  }
  ShowWindow(window.window, SW_SHOW);
  UpdateWindow(window.window);
  SetFocus(window.input);
  return true;
}

const MainWindow* FindMainWindow(HWND hwnd) {
  HWND root = GetAncestor(hwnd, GA_ROOT);
  if (!root) return nullptr;
  wchar_t className[64] = {};
  if (!GetClassNameW(root, className, 64) || lstrcmpW(className, kClassName) != 0) return nullptr;
  // The class belongs to this module, so the window is one of ours.
  if (GetWindowThreadProcessId(root, nullptr) != GetCurrentThreadId()) return nullptr;
  return StateOf(root);
}

void ConvertShortLink(MainWindow& window) {
  const Text input = GetControlText(window.input);
  const Text output = MakeShortLink(input);
  // The window may have been closed while the request waited (the close was
  // dispatched from inside the request): then there is no box to write to.
  if (window.output) SetControlText(window.output, output);
}
