#include "app/short_link.h"

#include "app/address_encoding.h"
#include "web/web_request.h"


Text RequestPrefix(const ShortLinkHosts& hosts) {
  return ConcatText("https://", hosts.conversionHost, "/dwz.php?longurl=");
}

Text EscapedLinkMarker(const ShortLinkHosts& hosts) {
  return ConcatText("https:\\/\\/", hosts.linkHost, "\\/");
}

Text LinkPrefix(const ShortLinkHosts& hosts) {
  return ConcatText("https://", hosts.linkHost, "/");
}

Text ShortLinkFromReply(const Text& reply, const ShortLinkHosts& hosts) {
  return ConcatText(LinkPrefix(hosts), TextBetween(reply, EscapedLinkMarker(hosts), kLinkClosingMarker));
}

Text MakeShortLink(const Text& longAddress, const ShortLinkHosts& hosts) {
  const Text address = ConcatText(RequestPrefix(hosts), EncodeLongAddress(longAddress));
  // Every optional parameter omitted: GET, the default header lines, no
  // cookies, 30 seconds, redirects followed. A failure gives an empty reply.
  return ShortLinkFromReply(WebRequest(address), hosts);
}
