#include "web/http_request.h"

#include <array>
#include <cstdint>
#include <memory>

#include "platform/internet.h"
#include "web/codepage.h"
#include "web/cookies.h"
#include "web/header_text.h"
#include "web/url_parts.h"

namespace miravue {
namespace {

namespace net = platform;

// The body is read in blocks of this size, each one fresh and zero-filled.
constexpr std::uint32_t kBodyBlock = 1024;
// Room given to the raw response headers; a larger header block is not seen at all.
constexpr std::uint32_t kHeaderCapacity = 5000;
// A body names its charset near its start (a meta tag, an XML declaration); a "utf-8"
// further in is taken as content, not as a declaration.
constexpr std::string_view kCharsetMarker = "utf-8";
constexpr Pos kCharsetMarkerLimit = 500;

struct HandleCloser {
    void operator()(net::InternetObject* handle) const { net::CloseInternetHandle(handle); }
};
using HandleOwner = std::unique_ptr<net::InternetObject, HandleCloser>;

// Where the values of one call live: the caller's variables or scratch ones.
struct CallArgs {
    int method;
    Text postText;
    Text* cookies;
    Text& responseCookies;
    Text& extraHeaders;
    Text& location;
    bool noRedirect;
    Bytes& postBytes;
    const Text* proxy;
    Text& responseHeaders;
};

Text UserAgentOf(const Text& headers) {
    if (FindText(headers, "User-Agent:", 1, true) == kNotFound) {
        return Text(kDefaultUserAgent);
    }
    Text agent = TrimSpaces(TextBetween(headers, "User-Agent:", "\r\n"));
    // The User-Agent line is the last one, with no line break to end the cut.
    if (agent.empty()) {
        agent = HeaderValue(headers);
    }
    return agent;
}

std::uint32_t RequestFlags(std::string_view url, const CallArgs& args) {
    std::uint32_t flags = net::kInternetFlagReload | net::kInternetFlagNeedFile;
    if (args.cookies != nullptr) {
        flags |= net::kInternetFlagNoCookies;
    }
    if (args.noRedirect) {
        flags |= net::kInternetFlagNoAutoRedirect;
    }
    if (LowerText(LeftText(url, 5)) == "https") {
        flags |= net::kInternetFlagSecure;
    } else {
        flags |= net::kInternetFlagIgnoreRedirectToHttps;
    }
    return flags;
}

void CompleteHeaders(std::string_view url, const CallArgs& args) {
    Text& headers = args.extraHeaders;
    if (FindText(headers, "Referer:") == kNotFound) {
        headers += headers.empty() ? "Referer: " : "\r\nReferer: ";
        headers += url;
    }
    if (FindText(headers, "Accept:") == kNotFound) {
        headers += "\r\nAccept: */*";
    }
    if (FindText(headers, "Accept-Language:") == kNotFound) {
        headers += "\r\nAccept-Language: zh-cn";
    }
    if (FindText(headers, "Content-Type:") == kNotFound) {
        headers += "\r\nContent-Type: application/x-www-form-urlencoded";
    }
    if (args.cookies != nullptr && !args.cookies->empty()) {
        headers += "\r\nCookie: ";
        headers += *args.cookies;
    }
}

Bytes ReadBody(net::InternetHandle request) {
    Bytes body;
    for (;;) {
        std::array<std::uint8_t, kBodyBlock> block{};
        std::uint32_t count = 0;
        if (!net::ReadInternetData(request, block.data(), kBodyBlock, &count) || count == 0) {
            break;
        }
        // Never trust a count beyond the block we gave.
        const std::size_t n = count < kBodyBlock ? count : kBodyBlock;
        body.insert(body.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(n));
    }
    return body;
}

// On success the headers replace the spaces, up to the zero byte that ends them; on
// failure (too large, or no response at all) the spaces stay.
void QueryHeaders(net::InternetHandle request, Text& headers) {
    headers = BlankText(kHeaderCapacity);
    std::uint32_t length = kHeaderCapacity;
    if (net::QueryHttpInfo(request, net::kHttpQueryRawHeadersCrlf, headers.data(), &length,
                           nullptr)) {
        const std::size_t end = headers.find('\0');
        if (end != Text::npos) {
            headers.resize(end);
        }
    }
}

void ScanHeaders(const CallArgs& args) {
    // `location` is an out value: what the caller had in it is not carried over.
    args.location.clear();
    Text cookies;
    for (const Text& line : SplitText(args.responseHeaders, "\r\n")) {
        if (FindText(line, "Location:") != kNotFound) {
            args.location = HeaderValue(line);
        }
        if (FindText(line, "Set-Cookie") != kNotFound) {
            cookies += TrimSpaces(TextBetween(line, "Set-Cookie:", ";"));
            cookies += "; ";
        }
    }
    args.responseCookies = LeftText(cookies, static_cast<Pos>(cookies.size()) - 2);
}

bool LooksUtf8(const Bytes& body, const Text& headers) {
    const Pos marker = FindBytes(body, Bytes(kCharsetMarker.begin(), kCharsetMarker.end()));
    if (marker != kNotFound && marker < kCharsetMarkerLimit) {
        return true;
    }
    return FindText(headers, kCharsetMarker, 1, true) != kNotFound;
}

Text Request(const Text& url, const CallArgs& args, int followUpsLeft) {
    const Text verb = args.method == 1 ? "POST" : "GET";
    const Text agent = UserAgentOf(args.extraHeaders);

    HandleOwner internet;
    if (args.proxy != nullptr) {
        const Text proxyList = "http=" + *args.proxy;
        internet.reset(net::OpenInternet(agent, net::kInternetOpenTypeProxy, proxyList, "", 0));
    } else {
        internet.reset(
            net::OpenInternet(agent, net::kInternetOpenTypeDirect, std::nullopt, std::nullopt, 0));
    }
    if (!internet) {
        return {};
    }
    // A port beyond 16 bits would be cut to another, wrong port: no connection instead.
    const int port = UrlPort(url);
    if (port < 0 || port > 0xFFFF) {
        return {};
    }
    HandleOwner connection(net::ConnectInternet(internet.get(), UrlHost(url),
                                                static_cast<std::uint16_t>(port), std::nullopt,
                                                std::nullopt, net::kInternetServiceHttp, 0, 0));
    if (!connection) {
        return {};
    }
    HandleOwner request(net::OpenHttpRequest(connection.get(), verb, UrlPath(url), "HTTP/1.1",
                                             std::nullopt, nullptr, RequestFlags(url, args), 0));
    if (!request) {
        return {};
    }

    CompleteHeaders(url, args);
    if (args.method == 0) {
        net::SendHttpRequest(request.get(), args.extraHeaders, {});
    } else {
        if (args.postBytes.empty()) {
            args.postBytes = TextToBytes(args.postText);
        }
        net::SendHttpRequest(request.get(), args.extraHeaders, args.postBytes);
    }
    Bytes body = ReadBody(request.get());
    QueryHeaders(request.get(), args.responseHeaders);
    request.reset();
    connection.reset();
    internet.reset();

    ScanHeaders(args);
    if (args.cookies != nullptr) {
        MergeCookies(*args.cookies, args.responseCookies);
    }
    if (args.location.empty()) {
        args.location = args.responseHeaders;
    }

    if (followUpsLeft > 0 && TextBetween(args.responseHeaders, "HTTP/1.1 ", " Moved") == "301") {
        const Text next = args.location + UrlPath(url);
        args.location.clear();
        // The follow-up counts every argument as supplied: an absent cookie text or proxy
        // becomes an empty one, which switches the platform's cookies off and opens the
        // follow-up through the (empty) proxy list.
        Text noCookies;
        const Text noProxy;
        const CallArgs again{args.method,
                             args.postText,
                             args.cookies != nullptr ? args.cookies : &noCookies,
                             args.responseCookies,
                             args.extraHeaders,
                             args.location,
                             args.noRedirect,
                             args.postBytes,
                             args.proxy != nullptr ? args.proxy : &noProxy,
                             args.responseHeaders};
        return Request(next, again, followUpsLeft - 1);
    }

    if (LooksUtf8(body, args.responseHeaders)) {
        body = Utf8ToGbk(body);
    }
    return BytesToText(body);
}

}  // namespace

Text HttpRequest(std::string_view url, int method, std::string_view postText, Text* cookies,
                 Text* responseCookies, Text* extraHeaders, Text* location, bool noRedirect,
                 Bytes* postBytes, const Text* proxy, Text* responseHeaders) {
    Text scratchResponseCookies;
    Text scratchExtraHeaders;
    Text scratchLocation;
    Bytes scratchPostBytes;
    Text scratchResponseHeaders;
    const CallArgs args{method,
                        Text(postText),
                        cookies,
                        responseCookies != nullptr ? *responseCookies : scratchResponseCookies,
                        extraHeaders != nullptr ? *extraHeaders : scratchExtraHeaders,
                        location != nullptr ? *location : scratchLocation,
                        noRedirect,
                        postBytes != nullptr ? *postBytes : scratchPostBytes,
                        proxy,
                        responseHeaders != nullptr ? *responseHeaders : scratchResponseHeaders};
    // The caller's url may live in one of the variables this call rewrites.
    return Request(Text(url), args, kMaxFollowUps);
}

}  // namespace miravue
