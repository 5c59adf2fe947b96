// Every output of WebRequest given a value of its own on entry, to see which
// ones a call writes.
#pragma once

#include <gtest/gtest.h>

#include "web/web_request.h"

struct EntryOutputs {
  Text returnedCookies = "returned-before";
  Text responseHeaders = "headers-before";
  Text redirectTarget = "redirect-before";
  Text statusText = "status-before";
  Bytes responseBytes = {'b', 'y', 't', 'e', 's'};

  // The options with every output delivered here.
  WebRequestOptions Wire(WebRequestOptions o) {
    o.returnedCookies = &returnedCookies;
    o.responseHeaders = &responseHeaders;
    o.redirectTarget = &redirectTarget;
    o.statusText = &statusText;
    o.responseBytes = &responseBytes;
    return o;
  }

  // A failed call writes its message and nothing else.
  void ExpectOnlyStatusWritten(const Text& message) const {
    EXPECT_EQ(statusText, message);
    EXPECT_EQ(returnedCookies, "returned-before");
    EXPECT_EQ(responseHeaders, "headers-before");
    EXPECT_EQ(redirectTarget, "redirect-before");
    EXPECT_EQ(responseBytes, (Bytes{'b', 'y', 't', 'e', 's'}));
  }
};
