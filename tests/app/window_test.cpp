// Drives the real program window under Wine, as a user would: each test
// starts a copy of the program whose conversion service is the local test
// service, and works its window from this process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "tests/support/service.h"
#include "window_driver.h"

namespace {

using namespace std::chrono_literals;

constexpr wchar_t kCaption[] = L"生成Tavrin";

// The slow host makes the local service wait 3 seconds before answering; the
// failing one makes it answer 500 without a link.
constexpr char kSlowPrefix[] = "http://slow.test/";
constexpr char kFailPrefix[] = "http://fail.test/";

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

std::string LinkPrefix() { return "https://" + ServiceLinkHost() + "/"; }

// The long address the service stored for a link it issued, or "" if none.
std::string LongAddressOf(const std::string& link) {
  if (link.rfind(LinkPrefix(), 0) != 0 || link.size() == LinkPrefix().size()) return {};
  return RawHttpGet("/_links?code=" + link.substr(LinkPrefix().size()));
}

struct Window {
  HWND input = nullptr, button = nullptr, output = nullptr, picture = nullptr;
};

class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    program = StartProgram(WindowsPathOf(TAVRIN_UNDER_TEST_EXE));
    ASSERT_TRUE(program.process) << "the program did not show its window";
    for (const ControlInfo& control : Controls(program.window)) {
      if (control.className == L"TavrinPictureBox") window.picture = control.handle;
      if (_wcsicmp(control.className.c_str(), L"Button") == 0) window.button = control.handle;
      if (_wcsicmp(control.className.c_str(), L"Edit") == 0) {
        (control.bounds.top == 0 ? window.input : window.output) = control.handle;
      }
    }
    ASSERT_TRUE(window.input && window.button && window.output && window.picture);
  }

  void TearDown() override {
    // No message box, nor any other window, ever appears.
    if (program.process && WaitForSingleObject(program.process.get(), 0) == WAIT_TIMEOUT) {
      for (HWND other : VisibleTopLevelWindows(program.processId)) {
        EXPECT_EQ(other, program.window) << "an unexpected window appeared";
      }
    }
  }

  // Types address into the input box and clicks the button; returns what the
  // output box shows once the program is idle again.
  std::string Convert(const std::string& address) {
    // The program answers questions even while it converts, so the end of the
    // conversion is seen by the output box changing.
    const std::wstring waiting = L"(waiting)";
    EXPECT_TRUE(SetText(window.output, waiting));
    EXPECT_TRUE(SetText(window.input, Wide(address)));
    Click(window.button);
    EXPECT_TRUE(WaitFor([&] { return ReadText(window.output) != waiting; }, 40s));
    return ReadTextBytes(window.output);
  }

  // The name of a control of the window, for messages.
  std::string NameOf(HWND control) const {
    if (control == window.input) return "input box";
    if (control == window.button) return "button";
    if (control == window.output) return "output box";
    if (control == window.picture) return "picture box";
    if (control == program.window) return "main window";
    return control ? "another window" : "no window";
  }

  bool Running() const { return WaitForSingleObject(program.process.get(), 0) == WAIT_TIMEOUT; }

  RunningProgram program;
  Window window;
};

TEST_F(MainWindowTest, WindowIsCentredFixedSizeAndFramed) {
  RECT outer;
  ASSERT_TRUE(GetWindowRect(program.window, &outer));
  EXPECT_EQ(outer.right - outer.left, 286);
  EXPECT_EQ(outer.bottom - outer.top, 166);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 286) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 166) / 2);

  const LONG_PTR style = GetWindowLongPtrW(program.window, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrW(program.window, GWL_EXSTYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_CHILD);
  EXPECT_FALSE(exStyle & WS_EX_TOPMOST);
  EXPECT_FALSE(exStyle & WS_EX_TOOLWINDOW);  // it has its own taskbar button
  EXPECT_EQ(GetWindow(program.window, GW_OWNER), nullptr);
  EXPECT_EQ(GetMenu(program.window), nullptr);
  EXPECT_EQ(ReadText(program.window), L"");

  // The frame offers no sizing edge; the caption moves the window.
  DWORD_PTR hit = 0;
  const int middleY = (outer.top + outer.bottom) / 2;
  for (POINT edge : {POINT{outer.left, middleY}, POINT{outer.right - 1, middleY},
                     POINT{outer.left, outer.bottom - 1}, POINT{outer.right - 1, outer.bottom - 1}}) {
    ASSERT_TRUE(SendMessageTimeoutW(program.window, WM_NCHITTEST, 0, MAKELPARAM(edge.x, edge.y),
                                    SMTO_NORMAL, 5000, &hit));
    EXPECT_TRUE(hit < HTLEFT || hit > HTBOTTOMRIGHT) << "sizing edge at " << edge.x << "," << edge.y;
  }
  ASSERT_TRUE(SendMessageTimeoutW(program.window, WM_NCHITTEST, 0,
                                  MAKELPARAM((outer.left + outer.right) / 2, outer.top + 8),
                                  SMTO_NORMAL, 5000, &hit));
  EXPECT_EQ(hit, static_cast<DWORD_PTR>(HTCAPTION));
}

TEST_F(MainWindowTest, ControlsHaveTheirRectanglesTextsAndTabStops) {
  struct Expected {
    const wchar_t* className;
    RECT bounds;
    const wchar_t* text;
    bool tabStop;
  };
  const Expected expected[] = {
      {L"Edit", {136, 0, 272, 24}, L"", true},
      {L"Button", {176, 48, 232, 72}, kCaption, true},
      {L"Edit", {136, 96, 280, 136}, L"", true},
      {L"TavrinPictureBox", {0, 0, 136, 136}, L"", false},
  };
  const auto controls = Controls(program.window);
  ASSERT_EQ(controls.size(), 4u);
  for (const Expected& want : expected) {
    SCOPED_TRACE(testing::Message() << "control at " << want.bounds.left << "," << want.bounds.top);
    const ControlInfo* found = nullptr;
    for (const ControlInfo& control : controls) {
      if (EqualRect(&control.bounds, &want.bounds)) found = &control;
    }
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(_wcsicmp(found->className.c_str(), want.className), 0) << "class";
    EXPECT_EQ(found->text, want.text);
    EXPECT_EQ(found->tabStop, want.tabStop);
    EXPECT_TRUE(found->visible);
    EXPECT_TRUE(found->enabled);
  }
}

TEST_F(MainWindowTest, EditBoxesAreSingleLineScrollingAndUnlimited) {
  for (HWND edit : {window.input, window.output}) {
    const LONG_PTR style = GetWindowLongPtrW(edit, GWL_STYLE);
    EXPECT_TRUE(style & ES_AUTOHSCROLL);
    for (LONG_PTR absent : {ES_MULTILINE, ES_READONLY, ES_PASSWORD, ES_UPPERCASE, ES_LOWERCASE,
                            ES_NUMBER, ES_NOHIDESEL, ES_CENTER, ES_RIGHT}) {
      EXPECT_FALSE(style & absent) << "style bit " << absent;
    }
    // A thin border, no sunken edge (Wine keeps WS_BORDER out of the style bits).
    EXPECT_FALSE(GetWindowLongPtrW(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    DWORD_PTR limit = 0;
    ASSERT_TRUE(SendMessageTimeoutW(edit, EM_GETLIMITTEXT, 0, 0, SMTO_NORMAL, 5000, &limit));
    EXPECT_GT(limit, 30000u) << "EM_LIMITTEXT 0 lifts the default limit";
    DWORD_PTR selection = 0;
    ASSERT_TRUE(SendMessageTimeoutW(edit, EM_GETSEL, 0, 0, SMTO_NORMAL, 5000, &selection));
    EXPECT_EQ(selection, 0u) << "caret at the start, nothing selected";
  }
  const LONG_PTR button = GetWindowLongPtrW(window.button, GWL_STYLE);
  EXPECT_EQ(button & BS_TYPEMASK, BS_PUSHBUTTON) << "an ordinary push button, not a default one";
  EXPECT_EQ(button & (BS_CENTER | BS_VCENTER | BS_MULTILINE), BS_CENTER | BS_VCENTER | BS_MULTILINE);
  EXPECT_FALSE(button & (BS_ICON | BS_BITMAP));
  EXPECT_FALSE(GetWindowLongPtrW(window.picture, GWL_STYLE) & (WS_BORDER | WS_TABSTOP));
  EXPECT_EQ(GetWindowLongPtrW(window.picture, GWL_EXSTYLE), 0);
}

// The darkest pixel in the middle band of an edit box: the text colour where
// the text is drawn, white where it is not.
COLORREF DarkestTextPixel(const Pixels& pixels, RECT box) {
  COLORREF darkest = RGB(255, 255, 255);
  for (int y = box.top + 4; y < box.bottom - 4; ++y) {
    for (int x = box.left + 3; x < box.right - 3; ++x) {
      const COLORREF c = pixels.At(x, y);
      if (GetRValue(c) + GetGValue(c) + GetBValue(c) <
          GetRValue(darkest) + GetGValue(darkest) + GetBValue(darkest)) {
        darkest = c;
      }
    }
  }
  return darkest;
}

TEST_F(MainWindowTest, InputIsLightGreyAndOutputBlackOnWhite) {
  ASSERT_TRUE(SetText(window.input, L"WWWWWWWW"));
  ASSERT_TRUE(SetText(window.output, L"WWWWWWWW"));
  PressKey(program, VK_TAB);  // the focus on the button: no caret in the boxes
  ASSERT_TRUE(WaitFor([&] { return FocusedWindow(program) == window.button; }));
  std::this_thread::sleep_for(200ms);
  const Pixels pixels = CaptureClient(program.window);
  ASSERT_EQ(pixels.width, 280);
  const COLORREF input = DarkestTextPixel(pixels, {136, 0, 272, 24});
  EXPECT_EQ(input, RGB(192, 192, 192));
  const COLORREF output = DarkestTextPixel(pixels, {136, 96, 280, 136});
  EXPECT_EQ(output, RGB(0, 0, 0));
  EXPECT_EQ(pixels.At(270, 12), RGB(255, 255, 255)) << "input background";
  EXPECT_EQ(pixels.At(278, 130), RGB(255, 255, 255)) << "output background";
}

TEST_F(MainWindowTest, PictureBoxShowsTheIconWithAMarginOfFour) {
  // The reference: the program's own icon drawn at 4, 4 on the fill colour.
  const auto module = LoadLibraryExW(WindowsPathOf(TAVRIN_UNDER_TEST_EXE).c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr);
  auto icon = static_cast<HICON>(LoadImageW(module, L"DEFAULT_ICON", IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
  ASSERT_NE(icon, nullptr);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 136, 136);
  HGDIOBJ old = SelectObject(memory, bitmap);
  RECT all{0, 0, 136, 136};
  FillRect(memory, &all, GetSysColorBrush(COLOR_BTNFACE));
  DrawIconEx(memory, 4, 4, icon, 128, 128, 0, nullptr, DI_NORMAL);
  std::vector<COLORREF> reference(136 * 136);
  for (int y = 0; y < 136; ++y) {
    for (int x = 0; x < 136; ++x) reference[y * 136 + x] = GetPixel(memory, x, y);
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  DestroyIcon(icon);
  FreeLibrary(module);

  const Pixels shown = CaptureClient(window.picture);
  ASSERT_EQ(shown.width, 136);
  ASSERT_EQ(shown.height, 136);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  int different = 0;
  int drawn = 0;
  for (int y = 0; y < 136; ++y) {
    for (int x = 0; x < 136; ++x) {
      const bool margin = x < 4 || y < 4 || x >= 132 || y >= 132;
      if (margin) {
        EXPECT_EQ(shown.At(x, y), face) << "margin pixel " << x << "," << y;
      }
      if (shown.At(x, y) != reference[y * 136 + x]) ++different;
      if (shown.At(x, y) != face) ++drawn;
    }
  }
  EXPECT_EQ(different, 0) << "pixels that differ from the icon drawn at 4, 4";
  EXPECT_GT(drawn, 1000) << "the icon is visible";
}

TEST_F(MainWindowTest, TabAndShiftTabCycleThroughTheThreeControls) {
  ASSERT_EQ(NameOf(FocusedWindow(program)), "input box") << "the focus at start";
  for (const char* next : {"button", "output box", "input box", "button"}) {
    PressKey(program, VK_TAB);
    WaitFor([&] { return NameOf(FocusedWindow(program)) == next; }, 5s);
    EXPECT_EQ(NameOf(FocusedWindow(program)), next) << "after Tab";
  }
  for (const char* next : {"input box", "output box", "button", "input box"}) {
    PressKey(program, VK_TAB, true);
    WaitFor([&] { return NameOf(FocusedWindow(program)) == next; }, 5s);
    EXPECT_EQ(NameOf(FocusedWindow(program)), next) << "after Shift+Tab";
  }
  // Tab leaves no character behind in the boxes.
  EXPECT_EQ(ReadText(window.input), L"");
  EXPECT_EQ(ReadText(window.output), L"");
}

TEST_F(MainWindowTest, ShiftEscapeDoesNothing) {
  PressKey(program, VK_ESCAPE, true);
  WaitUntilIdle(program);
  std::this_thread::sleep_for(300ms);
  EXPECT_TRUE(Running());
  EXPECT_TRUE(IsWindowVisible(program.window));
}

class EscapeTest : public MainWindowTest, public testing::WithParamInterface<int> {};

TEST_P(EscapeTest, EscapeFromAnyControlEndsTheProgram) {
  const HWND cycle[] = {window.input, window.button, window.output};
  for (int i = 0; i < GetParam(); ++i) PressKey(program, VK_TAB);
  ASSERT_TRUE(WaitFor([&] { return FocusedWindow(program) == cycle[GetParam()]; }));
  PressKey(program, VK_ESCAPE);
  DWORD exitCode = 99;
  ASSERT_TRUE(WaitForExit(program, 10s, exitCode));
  EXPECT_EQ(exitCode, 0u);
}

INSTANTIATE_TEST_SUITE_P(FocusOnEachControl, EscapeTest, testing::Values(0, 1, 2));

TEST_F(MainWindowTest, EnterInEitherBoxSendsNoRequest) {
  const std::string tag = UniqueTag();
  ASSERT_TRUE(SetText(window.input, Wide("http://example.com/" + tag)));
  for (HWND box : {window.input, window.output}) {
    for (int tabs = 0; tabs < 3 && FocusedWindow(program) != box; ++tabs) {
      const HWND before = FocusedWindow(program);
      PressKey(program, VK_TAB);
      WaitFor([&] { return FocusedWindow(program) != before; }, 5s);
    }
    ASSERT_EQ(FocusedWindow(program), box);
    PressKey(program, VK_RETURN);
    std::this_thread::sleep_for(300ms);
  }
  std::this_thread::sleep_for(500ms);
  EXPECT_TRUE(RecordedRequests(tag).empty());
  EXPECT_EQ(ReadText(window.output), L"");
  EXPECT_EQ(ReadText(window.input), Wide("http://example.com/" + tag));
  // The same text does go out on a click: the check above could see it.
  Click(window.button);
  EXPECT_TRUE(WaitFor([&] { return !RecordedRequests(tag).empty(); }));
}

TEST_F(MainWindowTest, ClickConvertsAndOverwritesTheOutputEveryTime) {
  const std::string first = "http://example.com/" + UniqueTag() + "?a=1&b=2";
  const std::string link = Convert(first);
  EXPECT_EQ(LongAddressOf(link), first) << link;
  EXPECT_EQ(ReadText(window.input), Wide(first)) << "the input box is left as it was";

  const std::string second = "http://example.com/" + UniqueTag();
  const std::string secondLink = Convert(second);
  EXPECT_EQ(LongAddressOf(secondLink), second) << secondLink;

  // A failed conversion overwrites the link with the bare prefix.
  const std::string failing = kFailPrefix + UniqueTag();
  EXPECT_EQ(Convert(failing), LinkPrefix());
  EXPECT_EQ(RecordedRequests(failing.substr(sizeof kFailPrefix - 1)).size(), 1u);
  EXPECT_EQ(LongAddressOf(Convert(second)).empty(), false) << "and the next click works again";
}

TEST_F(MainWindowTest, SecondClickDuringADelayedReplyRunsNestedAndTheFirstResultStays) {
  const std::string slowTag = UniqueTag();
  const std::string fastTag = UniqueTag();
  const std::string slow = kSlowPrefix + slowTag;
  const std::string fast = "http://example.com/" + fastTag;
  ASSERT_TRUE(SetText(window.input, Wide(slow)));
  Click(window.button);
  ASSERT_TRUE(WaitFor([&] { return !RecordedRequests(slowTag).empty(); }));
  // The program now blocks in the request. The new text reaches the box, and
  // the second click is taken, only when the request routine lets the queue
  // run; the text is sent from another thread so the click can be posted meanwhile.
  std::thread typing([&] { SetText(window.input, Wide(fast), 20s); });
  std::this_thread::sleep_for(200ms);
  Click(window.button);
  typing.join();
  ASSERT_TRUE(WaitFor([&] { return !RecordedRequests(fastTag).empty(); }, 15s));
  EXPECT_TRUE(WaitFor([&] { return LongAddressOf(ReadTextBytes(window.output)) == slow; }, 15s));
  std::this_thread::sleep_for(500ms);
  WaitUntilIdle(program);
  EXPECT_EQ(LongAddressOf(ReadTextBytes(window.output)), slow) << "the first click's result is shown last";
  EXPECT_EQ(RecordedRequests(slowTag).size(), 1u);
  EXPECT_EQ(RecordedRequests(fastTag).size(), 1u);
}

TEST_F(MainWindowTest, ClosingDuringADelayedReplyEndsTheProgramCleanly) {
  const std::string tag = UniqueTag();
  ASSERT_TRUE(SetText(window.input, Wide(kSlowPrefix + tag)));
  Click(window.button);
  ASSERT_TRUE(WaitFor([&] { return !RecordedRequests(tag).empty(); }));
  PostMessageW(program.window, WM_CLOSE, 0, 0);
  DWORD exitCode = 99;
  ASSERT_TRUE(WaitForExit(program, 20s, exitCode));
  EXPECT_EQ(exitCode, 0u) << "ended through the message loop, not by a crash";
}

}  // namespace
