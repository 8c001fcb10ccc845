#pragma once
// WinINet's proxy and bypass lists, read the way WinINet reads them, for the curl backend.

#include <string>
#include <string_view>

namespace miravue::platform {

// The proxy ("host:port") that `proxyList` names for `scheme` ("http" or "https"): the
// entry "scheme=host:port" for that scheme, else the first entry without "=", which
// serves every scheme. Entries are separated by spaces or ";". Empty when the list
// names none, including the entry "http=" with nothing after it.
std::string ProxyForScheme(std::string_view proxyList, std::string_view scheme);

// WinINet's bypass list (hosts separated by spaces or ";") as curl's comma-separated
// no-proxy list. "<local>" (hosts without a dot) has no curl counterpart and is left out.
std::string CurlNoProxyList(std::string_view bypassList);

}  // namespace miravue::platform
