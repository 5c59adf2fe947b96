// The conversion command: a long address in, the short link to show out.
#pragma once

#include "text/text.h"

// Where the conversion service runs and under which host it issues its links.
struct ShortLinkHosts {
  Text conversionHost;  // host or host:port of the service
  Text linkHost;        // host of the links it issues
};

// The hosts fixed when the program was built.
[[nodiscard]] ShortLinkHosts BuiltInShortLinkHosts();

// "https://" + conversion host + "/dwz.php?longurl=".
[[nodiscard]] Text RequestPrefix(const ShortLinkHosts& hosts);
// The start of a short link as the service's reply writes it, every slash
// escaped: "https:\/\/" + link host + "\/".
[[nodiscard]] Text EscapedLinkMarker(const ShortLinkHosts& hosts);
// "https://" + link host + "/": the shown link is this followed by the code.
[[nodiscard]] Text LinkPrefix(const ShortLinkHosts& hosts);
// Ends the code in the reply.
inline constexpr char kLinkClosingMarker[] = "\"";

// The long address as the value of the query key: "%", "&", "#", "+", the
// space, control bytes and every non-ASCII character (as the UTF-8 bytes of
// the code page 936 character) become %XX; every other byte stays as it is,
// so that the service decodes exactly what the user typed.
// Example: "a b&c" gives "a%20b%26c".
[[nodiscard]] Text EncodeLongAddress(const Text& longAddress);

// LinkPrefix followed by the code the reply holds between EscapedLinkMarker
// and the next double quote; LinkPrefix alone when there is none.
[[nodiscard]] Text ShortLinkFromReply(const Text& reply, const ShortLinkHosts& hosts);

// Asks the conversion service for a short link. Never fails: any failure
// gives LinkPrefix alone, and nothing is shown.
[[nodiscard]] Text MakeShortLink(const Text& longAddress, const ShortLinkHosts& hosts);
[[nodiscard]] Text MakeShortLink(const Text& longAddress);
