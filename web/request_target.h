// The host to connect to and the object name to request, from an address and
// what WinHttpCrackUrl made of it.
#pragma once

#include <string>
#include <string_view>

struct RequestTarget {
  std::wstring host;
  std::wstring objectName;  // path and query as sent on the request line, never empty
};

// With a path: the path followed by the extra information (query and
// fragment). Without one: "/" followed by the query when the address has one,
// else "/" alone; a query must not be lost. The query is taken from the address
// itself, because WinHttpCrackUrl differs here between systems: Windows hands
// "https://host?x=1" back as host "host" with extra "?x=1", Wine as host
// "host?x=1", and with a port ("http://host:81?x=1") Wine drops the query.
// Example: ("http://h:81?x=1", "h", "", "") gives host "h", object "/?x=1".
[[nodiscard]] RequestTarget MakeRequestTarget(std::wstring_view url, std::wstring_view crackedHost,
                                              std::wstring_view crackedPath,
                                              std::wstring_view crackedExtra);
