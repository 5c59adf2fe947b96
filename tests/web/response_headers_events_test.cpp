// Queued window messages run while the head is being read, line by line:
// a message posted before the call is dispatched after the first line and
// sees that line's work done and the later lines' not yet.
#include <windows.h>

#include <memory>
#include <optional>
#include <type_traits>

#include <gtest/gtest.h>

#include "web/response_headers.h"

namespace {

constexpr UINT kProbe = WM_APP + 11;

struct Outputs {
  Text statusText;
  Text returnedCookies;
  Text redirectTarget;
};

Outputs* g_live = nullptr;                // the outputs being filled right now
std::optional<Outputs> g_seenAtDispatch;  // their state when the probe ran
int g_dispatches = 0;

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kProbe) {
    ++g_dispatches;
    if (g_live != nullptr) g_seenAtDispatch = *g_live;
    return 0;
  }
  return DefWindowProc(window, message, wParam, lParam);
}

struct WindowCloser {
  void operator()(HWND window) const { DestroyWindow(window); }
};
using WindowOwner = std::unique_ptr<std::remove_pointer_t<HWND>, WindowCloser>;

class ParseResponseHeadersEventsTest : public testing::Test {
 protected:
  void SetUp() override {
    WNDCLASS windowClass{};
    windowClass.lpfnWndProc = ProbeProc;
    windowClass.hInstance = GetModuleHandle(nullptr);
    windowClass.lpszClassName = L"TavrinHeadProbe";
    RegisterClass(&windowClass);  // fails harmlessly when an earlier test registered it
    window_.reset(CreateWindowEx(0, L"TavrinHeadProbe", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 GetModuleHandle(nullptr), nullptr));
    ASSERT_NE(window_.get(), nullptr);
    MSG stray;
    while (PeekMessage(&stray, nullptr, 0, 0, PM_REMOVE)) {
    }
    g_seenAtDispatch.reset();
    g_dispatches = 0;
  }
  void TearDown() override { g_live = nullptr; }

  // Posts one probe, parses `raw` into entry values and returns the outputs.
  Outputs ParseWithProbe(const Text& raw) {
    Outputs out{"entry status", "entry=1", "entry target"};
    g_live = &out;
    PostMessage(window_.get(), kProbe, 0, 0);
    ParseResponseHeaders(raw, out.statusText, out.returnedCookies, out.redirectTarget);
    g_live = nullptr;
    return out;
  }

  WindowOwner window_;
};

TEST_F(ParseResponseHeadersEventsTest, MessagesRunAfterTheFirstLineBeforeTheRest) {
  const Outputs out =
      ParseWithProbe("HTTP/1.1 302 Found\r\nSet-Cookie: a=1\r\nLocation: /x\r\n\r\n");
  EXPECT_EQ(g_dispatches, 1);
  ASSERT_TRUE(g_seenAtDispatch.has_value());
  EXPECT_EQ(g_seenAtDispatch->statusText, "302 Found");
  EXPECT_EQ(g_seenAtDispatch->returnedCookies, "entry=1");
  EXPECT_EQ(g_seenAtDispatch->redirectTarget, "entry target");
  EXPECT_EQ(out.returnedCookies, "entry=1; a=1");
  EXPECT_EQ(out.redirectTarget, "/x");
}

TEST_F(ParseResponseHeadersEventsTest, ASingleLineStillLetsMessagesRun) {
  const Outputs out = ParseWithProbe("Set-Cookie: a=1");
  EXPECT_EQ(g_dispatches, 1);
  ASSERT_TRUE(g_seenAtDispatch.has_value());
  EXPECT_EQ(g_seenAtDispatch->returnedCookies, "entry=1; a=1");
  EXPECT_EQ(out.statusText, "");
}

TEST_F(ParseResponseHeadersEventsTest, AnEmptyHeadLetsNoMessageRun) {
  const Outputs out = ParseWithProbe("");
  EXPECT_EQ(g_dispatches, 0);
  EXPECT_EQ(out.returnedCookies, "entry=1");
  MSG waiting;
  EXPECT_TRUE(PeekMessage(&waiting, window_.get(), kProbe, kProbe, PM_REMOVE));
}

}  // namespace
