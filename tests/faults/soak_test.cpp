// A short soak: 100 conversions through the real window, and the program's
// handles, GDI and USER objects and private memory after 20 and after 100
// stay within the noise margins. scripts/soak runs the long one (1,000).
#include <gtest/gtest.h>

#include "tests/faults/program_window.h"
#include "tests/faults/soak.h"

namespace {

TEST(Soak, HundredConversionsLeakNothing) {
  ProgramWindow window;
  std::string why;
  ASSERT_TRUE(OpenProgram(TAVRIN_UNDER_TEST_EXE, window, why)) << why;

  const SoakRun run = RunSoak(window, 100, 10, [](const SoakSample& sample) {
    std::printf("after %4d: %s\n", sample.conversions, Describe(sample.figures).c_str());
  });
  EXPECT_EQ(run.failed, 0) << "first failure showed: " << run.firstFailure;
  const SoakSample* early = SampleAt(run, 20);
  const SoakSample* late = SampleAt(run, 100);
  ASSERT_TRUE(early && late);
  ASSERT_GE(late->figures.handles, 0) << "the system gives no handle count";
  ASSERT_GE(late->figures.privateBytes, 0) << "the system gives no private memory figure";
  EXPECT_EQ(GrowthBeyondMargins(early->figures, late->figures, DefaultSoakMargins()), "");
  EXPECT_TRUE(IsRunning(window));
  EXPECT_TRUE(OnlyMainWindowVisible(window));
}

}  // namespace
