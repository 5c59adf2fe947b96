// The charset step of the web request routine: a page that declares a
// character set other than the local "gbk" or "gb2312" in a meta tag near its
// start is decoded again from that character set into local text.
#pragma once

#include "automation/com_object.h"
#include "automation/variant.h"
#include "regex/regex_object.h"
#include "text/text.h"

// The working objects of one WebRequest call. The routine makes them on
// entry, so every call pairs a CoInitialize with a CoUninitialize, and they
// are released on every way out.
struct CharsetStep {
  RegexObject regex;
  ComObject stream;
  Variant bytes;
};

// Given the body text (BytesToText of the body) and the complete body bytes,
// returns the body text to use: the input unchanged, or the body decoded
// from the declared character set. Calls ProcessEvents once when the pattern
// search ran. Never changes `body`. The body text is taken by value so that
// an unchanged page is handed back without a copy.
[[nodiscard]] Text ConvertBodyCharset(CharsetStep& step, Text bodyText, const Bytes& body);
