// One complete HTTP exchange over WinHTTP.
#pragma once

#include <optional>

#include "text/text.h"

// The request description. Fill it with designated initialisers; what is not
// named keeps the default below. Outputs are pointers: null means not
// delivered, and then nothing is written there.
struct WebRequestOptions {
  int method = 0;                  // 0 GET, 1 POST, 2 HEAD, 3 PUT, 4 OPTIONS, 5 DELETE, 6 TRACE,
                                   // 7 CONNECT; any other value GET
  Text body{};                     // sent as it is, without terminator
  Text* cookies = nullptr;         // null = omitted; given (even empty) = sent, and rewritten by the merge
  Text* returnedCookies = nullptr; // in-out: the response's cookies are appended
  Text extraHeaders{};             // the caller's header lines, "\r\n" between them, none at the end
  Text* responseHeaders = nullptr; // out: the raw response head
  bool noRedirect = false;         // true: a redirect is handed back, not followed
  Text userName{};                 // server Basic credentials, used when both are given
  Text password{};
  Text proxy{};                    // host:port of a proxy; empty = no proxy
  Text proxyUserName{};            // proxy Basic credentials, used when both are given
  Text proxyPassword{};
  int timeoutSeconds = 0;          // 0 or below: 30 seconds
  Text* redirectTarget = nullptr;  // out: the response's Location
  Text* statusText = nullptr;      // out: the response's status, or a failure message "700 ..." to "713 ..."
  Bytes* responseBytes = nullptr;  // out: the body exactly as received
  std::optional<bool> autoMergeCookies{};  // omitted = true
};

// The response body up to its first zero byte, or empty when the exchange
// failed. A failure writes only statusText; every other output keeps the value
// it had. An HTTP error status (404, 500) is a complete exchange, not a failure.
// Never throws. Between its stages it dispatches the window messages already
// queued (ProcessEvents), so window handlers can run inside it.
[[nodiscard]] Text WebRequest(const Text& url, const WebRequestOptions& options = {});
