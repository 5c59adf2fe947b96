// The long soak as a command: soak_run [COUNT [EARLY]] runs COUNT
// conversions (1,000) through the real window and prints the program's
// figures every 100, then compares those after EARLY (100) with those after
// the last. Exit status 0 when every conversion worked and nothing grew
// beyond its margin.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "tests/faults/program_window.h"
#include "tests/faults/soak.h"

int main(int argc, char** argv) {
  try {
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int early = argc > 2 ? std::atoi(argv[2]) : 100;
    if (count < 1 || early < 1 || early > count) {
      std::fprintf(stderr, "usage: soak_run [COUNT [EARLY]] with 1 <= EARLY <= COUNT\n");
      return 2;
    }
    const int every = early % 100 == 0 && count % 100 == 0 ? 100 : early;
    ProgramWindow window;
    std::string why;
    if (!OpenProgram(TAVRIN_UNDER_TEST_EXE, window, why)) {
      std::fprintf(stderr, "soak: %s\n", why.c_str());
      return 1;
    }
    std::printf("%d conversions through the window of %s\n", count, TAVRIN_UNDER_TEST_EXE);
    const SoakRun run = RunSoak(window, count, every, [](const SoakSample& sample) {
      std::printf("after %5d: %s\n", sample.conversions, Describe(sample.figures).c_str());
      std::fflush(stdout);
    });
    const SoakSample* first = SampleAt(run, early);
    const SoakSample* last = SampleAt(run, count);
    const SoakMargins margins = DefaultSoakMargins();
    std::printf("margins: handles %lld, gdi %lld, user %lld, private %lld KB\n", margins.handles,
                margins.gdiObjects, margins.userObjects, margins.privateBytes / 1024);
    std::printf("failed conversions: %d%s%s\n", run.failed, run.failed ? ", first showed: " : "",
                run.firstFailure.c_str());
    if (!first || !last) {
      std::printf("no samples at %d and %d\n", early, count);
      return 1;
    }
    const std::string beyond = GrowthBeyondMargins(first->figures, last->figures, margins);
    std::printf("after %d -> after %d: %s\n", early, count, beyond.empty() ? "within the margins" : beyond.c_str());
    return run.failed == 0 && beyond.empty() ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "soak: %s\n", e.what());
    return 1;
  }
}
