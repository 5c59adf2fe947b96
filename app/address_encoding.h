// The long address as it goes into the conversion request's query.
#pragma once

#include "text/text.h"

// The long address as the value of the query key: "%", "&", "#", "+", the
// space, control bytes and every non-ASCII character (as the UTF-8 bytes of
// the code page 936 character) become %XX; every other byte stays as it is,
// so that the service decodes exactly what the user typed.
// Example: "a b&c" gives "a%20b%26c".
[[nodiscard]] Text EncodeLongAddress(const Text& longAddress);
