#include <windows.h>

#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "text/text.h"

namespace {

constexpr UINT kFirst = WM_APP + 1;
constexpr UINT kSecond = WM_APP + 2;
constexpr UINT kPostedWhileDispatching = WM_APP + 3;
constexpr UINT kAfterQuit = WM_APP + 4;

std::vector<UINT> g_dispatched;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_APP) {
    g_dispatched.push_back(message);
    if (message == kFirst) PostMessage(window, kPostedWhileDispatching, 0, 0);
    return 0;
  }
  return DefWindowProc(window, message, wParam, lParam);
}

struct WindowCloser {
  void operator()(HWND window) const { DestroyWindow(window); }
};
using WindowOwner = std::unique_ptr<std::remove_pointer_t<HWND>, WindowCloser>;

class ProcessEventsTest : public testing::Test {
 protected:
  void SetUp() override {
    WNDCLASS windowClass{};
    windowClass.lpfnWndProc = RecordingProc;
    windowClass.hInstance = GetModuleHandle(nullptr);
    windowClass.lpszClassName = L"TavrinProcessEventsTest";
    RegisterClass(&windowClass);  // fails harmlessly when a previous test registered it
    window_.reset(CreateWindowEx(0, L"TavrinProcessEventsTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                 nullptr, GetModuleHandle(nullptr), nullptr));
    ASSERT_NE(window_.get(), nullptr);
    MSG stray;
    while (PeekMessage(&stray, nullptr, 0, 0, PM_REMOVE)) {
    }
    g_dispatched.clear();
  }

  WindowOwner window_;
};

TEST_F(ProcessEventsTest, DispatchesWaitingAndNewlyPostedMessages) {
  PostMessage(window_.get(), kFirst, 0, 0);
  PostMessage(window_.get(), kSecond, 0, 0);
  ProcessEvents();
  EXPECT_EQ(g_dispatched, (std::vector<UINT>{kFirst, kSecond, kPostedWhileDispatching}));
  MSG left;
  EXPECT_FALSE(PeekMessage(&left, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(ProcessEventsTest, ReturnsAtOnceOnAnEmptyQueue) {
  ProcessEvents();
  EXPECT_TRUE(g_dispatched.empty());
}

TEST_F(ProcessEventsTest, LeavesQuitAndWhatFollowsItInTheQueue) {
  PostMessage(window_.get(), kSecond, 0, 0);
  PostThreadMessage(GetCurrentThreadId(), WM_QUIT, 42, 0);
  PostMessage(window_.get(), kAfterQuit, 0, 0);
  ProcessEvents();
  EXPECT_EQ(g_dispatched, std::vector<UINT>{kSecond});

  MSG next;
  ASSERT_TRUE(PeekMessage(&next, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(next.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(next.wParam, 42u);
  ASSERT_TRUE(PeekMessage(&next, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(next.message, kAfterQuit);
}

TEST_F(ProcessEventsTest, LeavesAQuitRequestForTheMainLoop) {
  PostMessage(window_.get(), kSecond, 0, 0);
  PostQuitMessage(7);
  ProcessEvents();
  EXPECT_EQ(g_dispatched, std::vector<UINT>{kSecond});
  MSG next;
  ASSERT_TRUE(PeekMessage(&next, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(next.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(next.wParam, 7u);
}

}  // namespace
