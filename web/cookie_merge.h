// Merging the cookies a request submitted with those its response set, into
// one cookie text for the next request.
#pragma once

#include <string_view>

#include "text/text.h"

// Received items first, in received order, without "=deleted" ones and
// without exact repeats, then the submitted items whose names were not
// received, in submitted order; items joined with "; ". All spaces are
// removed from the items. Afterwards `submitted` holds the merged text and
// `received` the received text without spaces.
// Example: submitted "a=1; b=2", received "b=3" gives "b=3; a=1".
[[nodiscard]] Text MergeCookies(Text& submitted, Text& received);

// The trimmed bytes before the first "=", or the whole trimmed item when it
// has none. Example: CookieName("=x") == "".
[[nodiscard]] Text CookieName(std::string_view item);

// True when some element's cookie name equals `name` exactly.
[[nodiscard]] bool HasCookieName(const TextArray& items, std::string_view name);

// The pieces of `text` split at `separator`, each exact repeat of an earlier
// piece removed, joined again with `separator`.
// Example: JoinDistinct("a; b; a; ", "; ") == "a; b".
[[nodiscard]] Text JoinDistinct(std::string_view text, std::string_view separator);

// 1-based index of the first element equal to `text`, or -1.
[[nodiscard]] int IndexOfText(const TextArray& items, std::string_view text);
