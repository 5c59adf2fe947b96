// The fault table through WebRequest: each row's outputs and the exact
// message the routine gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "tests/faults/fault_table.h"
#include "tests/support/entry_outputs.h"
#include "tests/support/service.h"
#include "web/web_request.h"

namespace {

using namespace std::chrono_literals;

using Outputs = EntryOutputs;

// Compares long byte strings without printing them whole.
template <typename A, typename B>
testing::AssertionResult SameBytes(const A& actual, const B& expected) {
  if (actual.size() == expected.size() && std::equal(actual.begin(), actual.end(), expected.begin())) {
    return testing::AssertionSuccess();
  }
  size_t at = 0;
  while (at < actual.size() && at < expected.size() &&
         static_cast<unsigned char>(actual[at]) == static_cast<unsigned char>(expected[at])) {
    ++at;
  }
  auto show = [&](const auto& bytes) {
    std::string shown;
    for (size_t i = at; i < bytes.size() && i < at + 24; ++i) {
      char hex[4];
      snprintf(hex, sizeof hex, "%02X ", static_cast<unsigned char>(bytes[i]));
      shown += hex;
    }
    return shown;
  };
  return testing::AssertionFailure() << "size " << actual.size() << " (expected " << expected.size()
                                     << "), first difference at " << at << ": " << show(actual)
                                     << "instead of " << show(expected);
}

class FaultThroughWebRequest : public testing::TestWithParam<Fault> {};

TEST_P(FaultThroughWebRequest, GivesItsOutputsAndMessage) {
  const FaultRow row = MakeFaultRow(GetParam());
  const Text url = ConversionAddress(row.host, row.longAddress);

  if (GetParam() == Fault::EndlessDrip) {
    // Each byte comes within the time-out, so no single read times out; the
    // time-out bounds the body as a whole instead. Reading stops as after a
    // failed read, and the head's status then takes the message's place.
    Outputs out;
    const auto start = std::chrono::steady_clock::now();
    const Text result = WebRequest(url, out.Wire({.timeoutSeconds = row.requestTimeout}));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::seconds(4 * row.requestTimeout)) << "a dripping reply held the call";
    EXPECT_EQ(out.statusText, "200 OK");
    EXPECT_FALSE(result.empty()) << "the bytes that came are kept";
    EXPECT_EQ(result.find_first_not_of('x'), std::string::npos) << result;
    EXPECT_TRUE(SameBytes(out.responseBytes, result)) << "responseBytes";
    return;
  }

  Outputs out;
  const Text result = WebRequest(url, out.Wire({.timeoutSeconds = row.requestTimeout}));
  EXPECT_EQ(out.statusText, row.status);
  EXPECT_TRUE(SameBytes(result, row.result)) << "result";
  if (row.fails) {
    // Only the message is written.
    EXPECT_EQ(out.returnedCookies, "returned-before");
    EXPECT_EQ(out.responseHeaders, "headers-before");
    EXPECT_EQ(out.redirectTarget, "redirect-before");
    EXPECT_EQ(out.responseBytes, (Bytes{'b', 'y', 't', 'e', 's'}));
  } else {
    EXPECT_TRUE(SameBytes(out.responseBytes, row.bytes)) << "responseBytes";
    EXPECT_EQ(out.redirectTarget, "redirect-before") << "no Location, nothing written";
    EXPECT_EQ(out.returnedCookies, "returned-before") << "no Set-Cookie, nothing appended";
    EXPECT_EQ(TextLeft(out.responseHeaders, 17), "HTTP/1.1 200 OK\r\n");
    if (row.headComplete) {
      EXPECT_EQ(TextRight(out.responseHeaders, 4), "\r\n\r\n");
    } else {
      EXPECT_EQ(out.responseHeaders, "HTTP/1.1 200 OK\r\n");
    }
  }
  if (GetParam() == Fault::Head1MB) {
    EXPECT_GE(TextLength(out.responseHeaders), 1 << 20);
  }
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultThroughWebRequest, testing::ValuesIn(AllFaults()),
                         [](const testing::TestParamInfo<Fault>& info) { return FaultName(info.param); });

}  // namespace
