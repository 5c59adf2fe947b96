// The service addresses fixed when this copy of the program was built
// (TAVRIN_CONVERSION_HOST and TAVRIN_LINK_HOST). Compiled once per program
// copy, so the tests' copy can aim at the local service.
#include "app/short_link.h"

ShortLinkHosts BuiltInShortLinkHosts() {
  return {TAVRIN_CONVERSION_HOST, TAVRIN_LINK_HOST};
}

Text MakeShortLink(const Text& longAddress) {
  return MakeShortLink(longAddress, BuiltInShortLinkHosts());
}
