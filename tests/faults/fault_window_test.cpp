// The fault table through the real window: the program survives every
// fault, shows its result (the bare link prefix when the exchange failed)
// and never opens a message box or any other window.
#include <gtest/gtest.h>

#include <thread>

#include "tests/faults/fault_table.h"
#include "tests/faults/program_window.h"
#include "tests/support/service.h"

namespace {

using namespace std::chrono_literals;

class FaultThroughWindow : public testing::TestWithParam<Fault> {};

TEST_P(FaultThroughWindow, ProgramSurvivesAndShowsItsResult) {
  const FaultRow row = MakeFaultRow(GetParam());
  ProgramWindow window;
  std::string why;
  ASSERT_TRUE(OpenProgram(row.programPath, window, why)) << why;

  EXPECT_EQ(Convert(window, row.longAddress, row.windowLimit), row.shows);
  EXPECT_TRUE(IsRunning(window)) << "the program ended";
  EXPECT_TRUE(OnlyMainWindowVisible(window)) << "a message box or another window appeared";
  if (row.host == TAVRIN_FAULT_SERVICE_HOST) {
    EXPECT_EQ(RecordedRequests(row.tag).size(), 1u) << "one request reached the service";
  }
  // And the window still works: the next conversion of the same program
  // copy runs as far as its host lets it.
  WaitUntilIdle(window.program);
  const std::string next = "http://example.com/" + UniqueTag();
  const std::string shown = Convert(window, next);
  ASSERT_GE(shown.size(), BareLinkPrefix().size()) << shown;
  if (row.host == TAVRIN_FAULT_SERVICE_HOST) {
    EXPECT_EQ(RawHttpGet("/_links?code=" + shown.substr(BareLinkPrefix().size())), next) << shown;
  } else {
    EXPECT_EQ(shown, BareLinkPrefix());
  }
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultThroughWindow, testing::ValuesIn(AllFaults()),
                         [](const testing::TestParamInfo<Fault>& info) { return FaultName(info.param); });

// The window must stay closeable while a reply drips without end: the
// program's 30 s time-out bounds the body as a whole, the conversion then
// ends and the waiting close request is handled.
TEST(FaultThroughWindowClose, WindowClosesWhileAReplyDrips) {
  const FaultRow row = MakeFaultRow(Fault::EndlessDrip);
  ProgramWindow window;
  std::string why;
  ASSERT_TRUE(OpenProgram(row.programPath, window, why)) << why;
  ASSERT_TRUE(StartConversion(window, row.longAddress));
  ASSERT_TRUE(WaitFor([&] { return !RecordedRequests(row.tag).empty(); }));
  std::this_thread::sleep_for(2s);
  PostMessageW(window.program.window, WM_CLOSE, 0, 0);
  DWORD exitCode = 99;
  EXPECT_TRUE(WaitForExit(window.program, 40s, exitCode)) << "still running 40 s after the close";
}

}  // namespace
