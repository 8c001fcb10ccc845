#pragma once
// One HTTP or HTTPS request over the platform's internet layer, returning the body.
// Around the bare request: default header lines, the caller's cookie text sent and merged
// with what the response sets, the raw response headers and redirect location handed
// back, a 301 answer followed by a new request, and a UTF-8 body converted to GBK.

#include <string_view>

#include "web/text.h"

namespace miravue {

// The user agent sent when the caller's headers name none.
inline constexpr std::string_view kDefaultUserAgent =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; NOVUS; .NET CLR 2.0.50727; "
    ".NET CLR 3.0.04506.648; .NET CLR 3.5.21022)";

// How many 301 answers one call follows with a request of its own. A server that keeps
// answering 301 would otherwise make the routine call itself without end; at the bound
// the last 301 answer is treated like any other: its body is returned (charset-converted
// as usual), `location` keeps its Location value and `responseHeaders` its headers.
inline constexpr int kMaxFollowUps = 10;

// `url`: a URL without a scheme is taken as http.
// `method`: 1 sends "POST", anything else "GET"; every value but 0 sends a body.
// `postText`: the body when `postBytes` is empty.
// `cookies` (in/out, null: not supplied): sent in a "Cookie: " line when not empty. When
//     supplied, the platform's own cookie store is switched off and, on return, it holds
//     the merge of its old items with those the response set.
// `responseCookies` (out): the name=value items the response set, joined by "; ".
// `extraHeaders` (in/out): header lines separated by "\r\n"; on return the complete
//     block that was sent.
// `location` (out): the response's Location value, or its whole header block when it
//     has none.
// `noRedirect`: switches the platform's automatic redirect following off.
// `postBytes` (in/out): body bytes; filled from `postText` when a body is sent and it
//     is empty.
// `proxy` (null: not supplied): "host:port" of the proxy for http.
// `responseHeaders` (out): the raw response header block, lines separated by "\r\n".
// A null out or in/out argument is written into a scratch value nobody sees.
// Returns the body up to its first NUL, or empty when the internet handle, connection or
// request cannot be opened (then no argument has been changed).
Text HttpRequest(std::string_view url, int method = 0, std::string_view postText = {},
                 Text* cookies = nullptr, Text* responseCookies = nullptr,
                 Text* extraHeaders = nullptr, Text* location = nullptr, bool noRedirect = false,
                 Bytes* postBytes = nullptr, const Text* proxy = nullptr,
                 Text* responseHeaders = nullptr);

}  // namespace miravue
