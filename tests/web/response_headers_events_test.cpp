// Queued window messages run while the head is being read, line by line:
// a message posted before the call is dispatched after the first line and
// sees that line's work done and the later lines' not yet.
#include <optional>

#include <gtest/gtest.h>

#include "tests/support/message_probe.h"
#include "web/response_headers.h"

namespace {

struct Outputs {
  Text statusText;
  Text returnedCookies;
  Text redirectTarget;
};

class ParseResponseHeadersEventsTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(probe_.ok());
    probe_.onDispatch = [this] { seenAtDispatch_ = live_; };
  }

  // Posts one probe, parses `raw` into entry values and returns the outputs.
  Outputs ParseWithProbe(const Text& raw) {
    live_ = Outputs{"entry status", "entry=1", "entry target"};
    probe_.Post();
    ParseResponseHeaders(raw, live_.statusText, live_.returnedCookies, live_.redirectTarget);
    return live_;
  }

  MessageProbe probe_;
  Outputs live_;                           // the outputs being filled
  std::optional<Outputs> seenAtDispatch_;  // their state when the probe ran
};

TEST_F(ParseResponseHeadersEventsTest, MessagesRunAfterTheFirstLineBeforeTheRest) {
  const Outputs out =
      ParseWithProbe("HTTP/1.1 302 Found\r\nSet-Cookie: a=1\r\nLocation: /x\r\n\r\n");
  EXPECT_EQ(probe_.dispatched(), 1);
  ASSERT_TRUE(seenAtDispatch_.has_value());
  EXPECT_EQ(seenAtDispatch_->statusText, "302 Found");
  EXPECT_EQ(seenAtDispatch_->returnedCookies, "entry=1");
  EXPECT_EQ(seenAtDispatch_->redirectTarget, "entry target");
  EXPECT_EQ(out.returnedCookies, "entry=1; a=1");
  EXPECT_EQ(out.redirectTarget, "/x");
}

TEST_F(ParseResponseHeadersEventsTest, ASingleLineStillLetsMessagesRun) {
  const Outputs out = ParseWithProbe("Set-Cookie: a=1");
  EXPECT_EQ(probe_.dispatched(), 1);
  ASSERT_TRUE(seenAtDispatch_.has_value());
  EXPECT_EQ(seenAtDispatch_->returnedCookies, "entry=1; a=1");
  EXPECT_EQ(out.statusText, "");
}

TEST_F(ParseResponseHeadersEventsTest, AnEmptyHeadLetsNoMessageRun) {
  const Outputs out = ParseWithProbe("");
  EXPECT_EQ(probe_.dispatched(), 0);
  EXPECT_EQ(out.returnedCookies, "entry=1");
}

}  // namespace
