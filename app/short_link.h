// The conversion command: a long address in, the short link to show out.
#pragma once

#include "app/address_encoding.h"
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


// LinkPrefix followed by the code the reply holds between EscapedLinkMarker
// and the next double quote; LinkPrefix alone when there is none.
[[nodiscard]] Text ShortLinkFromReply(const Text& reply, const ShortLinkHosts& hosts);

// Asks the conversion service for a short link. Never fails: any failure
// gives LinkPrefix alone, and nothing is shown.
[[nodiscard]] Text MakeShortLink(const Text& longAddress, const ShortLinkHosts& hosts);
[[nodiscard]] Text MakeShortLink(const Text& longAddress);
