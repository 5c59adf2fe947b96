// Splits a fuzz input into the arguments of the routine under test.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// A position or count: mostly small, sometimes at the extremes.
inline int FuzzInt(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange<int>(0, 5)) {
    case 0: return 0;
    case 1: return -1;
    case 2: return 2147483647;
    case 3: return -2147483647 - 1;
    default: return in.ConsumeIntegralInRange<int>(-4, 300);
  }
}

// Text holds no zero bytes.
inline std::string FuzzText(FuzzedDataProvider& in, std::size_t maxLength = 512) {
  std::string s = in.ConsumeRandomLengthString(maxLength);
  for (char& c : s) {
    if (c == '\0') c = '\x80';
  }
  return s;
}

#define FUZZ_CHECK(condition)                                                  \
  do {                                                                         \
    if (!(condition)) {                                                        \
      std::fprintf(stderr, "property failed: %s (%s:%d)\n", #condition,        \
                   __FILE__, __LINE__);                                        \
      std::abort();                                                            \
    }                                                                          \
  } while (0)
