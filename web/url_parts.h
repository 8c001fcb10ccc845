#pragma once
// The host, port and path of a URL, taken apart the way the request routine needs them.
// These are text cuts, not a URL parser: they keep the routine's long-standing results
// (the path of "http://h/k" is "//h/k"), which the servers it talks to are used to.

#include <string_view>

#include "web/text.h"

namespace miravue {

// The host of `url`, lowercased. A URL without "http://" anywhere is taken as http.
// `domainOnly` keeps the last two dot-separated parts; `keepPort` keeps ":port".
Text UrlHost(std::string_view url, bool domainOnly = false, bool keepPort = false);

// The port written in `url`, else 443 for an "https" URL and 80 for any other. A port
// that is not a number reads as 0.
int UrlPort(std::string_view url);

// `url` from the first "/" at or after where its host is found, query included, in the
// case it was written; "/" when there is none.
Text UrlPath(std::string_view url);

}  // namespace miravue
