// Conversions between Text and the UTF-16 strings of the automation
// boundary, both through the process's ANSI code page (CP_ACP).
#pragma once

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <string>
#include <string_view>

#include "text/text.h"

// The UTF-16 form of the whole text (no cut, no terminator counted).
[[nodiscard]] std::wstring TextToWide(std::string_view text);

// A new BSTR of the text, or null when it cannot be allocated. The caller
// frees it with SysFreeString.
[[nodiscard]] BSTR TextToBstr(std::string_view text);

// The ANSI text of UTF-16 units, up to the first NUL; characters that the
// code page lacks become its default character.
// Example: WideToText(L"ab\0cd" as 5 units) == "ab".
[[nodiscard]] Text WideToText(std::wstring_view wide);

// WideToText of a BSTR's units; a null BSTR gives the empty text.
[[nodiscard]] Text BstrToText(BSTR value);
