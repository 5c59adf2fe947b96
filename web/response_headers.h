// Reading the raw response head that WinHTTP hands back: the status text,
// the cookies the server set and the redirect target.
#pragma once

#include <string_view>

#include "text/text.h"

// Fills the three outputs from a CRLF header block (status line, header
// lines, empty line). `statusText` is always overwritten; the name=value of
// every exact-case "Set-Cookie" line is appended to `returnedCookies`;
// `redirectTarget` takes the last "Location: " line in any letter case and is
// left alone when there is none. Queued window messages are let through
// after each line.
// Example: entry "x=1" plus a received "a=1" gives "x=1; a=1"; with nothing
// received the entry value comes back unchanged.
void ParseResponseHeaders(const Text& rawHeaders, Text& statusText, Text& returnedCookies,
                          Text& redirectTarget);

// The text in front of the first separator found from `start` (0 or less
// counts as 1); empty when the separator does not occur.
// Example: TextBefore("a: b: c", ": ") == "a"; TextBefore("a=b; c", ": ") == "".
[[nodiscard]] Text TextBefore(std::string_view text, std::string_view separator, int start = 1,
                              bool ignoreCase = false);
