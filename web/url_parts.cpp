#include "web/url_parts.h"

#include "web/header_text.h"

namespace miravue {
namespace {

// Decimal digits after leading spaces, up to the first other byte; 0 without digits.
// Stops growing past any port so that a long digit run cannot overflow.
int ReadPortNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    int value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value <= 65535) {
            value = value * 10 + (text[i] - '0');
        }
    }
    return value;
}

}  // namespace

Text UrlHost(std::string_view url, bool domainOnly, bool keepPort) {
    Text lowered = LowerText(url);
    if (lowered.empty() || lowered.back() != '/') {
        lowered += '/';
    }
    Text host;
    if (lowered.starts_with("https://")) {
        host = TextBetween(lowered, "https://", "/");
    } else {
        if (FindText(lowered, "http://") == kNotFound) {
            lowered.insert(0, "http://");
        }
        host = TextBetween(lowered, "http://", "/");
    }
    if (domainOnly) {
        const TextList parts = SplitText(host, ".");
        if (parts.size() > 1) {
            host = parts[parts.size() - 2] + "." + parts.back();
        }
    }
    if (!keepPort) {
        const Pos colon = FindText(host, ":");
        if (colon != kNotFound) {
            host = LeftText(host, colon - 1);
        }
    }
    return host;
}

int UrlPort(std::string_view url) {
    const Text host = UrlHost(url, false, true);
    const Pos colon = FindLastText(host, ":");
    if (colon != kNotFound) {
        return ReadPortNumber(std::string_view(host).substr(static_cast<std::size_t>(colon)));
    }
    return LowerText(LeftText(url, 5)) == "https" ? 443 : 80;
}

Text UrlPath(std::string_view url) {
    const Text host = UrlHost(url);
    const Pos at = FindText(url, host, 1, true);
    const Pos slash = FindText(url, "/", at);
    if (slash == kNotFound) {
        return "/";
    }
    return Text(url.substr(static_cast<std::size_t>(slash - 1)));
}

}  // namespace miravue
