// The request line's verb and the request header block of WebRequest.
#pragma once

#include "text/text.h"

// The verb for a method number: 0 GET, 1 POST, 2 HEAD, 3 PUT, 4 OPTIONS,
// 5 DELETE, 6 TRACE, 7 CONNECT; any other number GET.
[[nodiscard]] Text MethodVerb(int method);

// The caller's lines followed by "\r\n", then each browser-like default line
// whose header the block does not name yet. A name counts as present wherever
// it appears in the block, also inside another header's name or value.
// Example: BuildRequestHeaders("X-Accept: 1", 0, "") has no default Accept line.
[[nodiscard]] Text BuildRequestHeaders(const Text& extraHeaders, int method, const Text& cookies);
