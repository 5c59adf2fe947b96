// Code page 936 Text to and from UTF-16LE Bytes, at the WinHTTP boundary.
#pragma once

#include "text/text.h"

// The UTF-16LE form of `text` with a terminating zero code unit (dropped when
// dropTerminator is true). The empty text gives empty Bytes, no terminator.
[[nodiscard]] Bytes AnsiToWide(const Text& text, bool dropTerminator = false);

// The code page 936 text of UTF-16LE bytes, up to the first zero byte of the
// result. A trailing odd byte is ignored; the input need not be terminated.
[[nodiscard]] Text WideToAnsi(const Bytes& bytes);
