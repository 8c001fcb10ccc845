// Tracker URL normalising and splitting.

#include "torrent/tracker_url.h"

#include <limits>
#include <string_view>

namespace miravue {

namespace {

constexpr std::string_view kHttpPrefix = "http://";

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Leading decimal number after optional white space and one sign; 0 without digits.
// Beyond the 32-bit range it saturates instead of wrapping into an unrelated port.
std::int32_t LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kLimit) {
            value = kLimit;
        }
    }
    if (negative) {
        return static_cast<std::int32_t>(-value);
    }
    return static_cast<std::int32_t>(value == kLimit ? kLimit - 1 : value);
}

}  // namespace

void NormalizeTrackerUrl(Text& url) {
    if (url.empty() || url == "\r\n" || url == "\r" || url == "\n") {
        return;
    }
    if (url.find(kHttpPrefix) == Text::npos) {
        url.insert(0, kHttpPrefix);
    }
    if (url.back() != '/') {
        url.push_back('/');
    }
}

bool SplitTrackerUrl(const Text& url, Text& host, std::int32_t& port, Text& path) {
    const std::size_t prefix = url.find(kHttpPrefix);
    if (prefix == Text::npos) {
        return false;
    }
    const std::size_t host_start = prefix + kHttpPrefix.size();
    const std::size_t colon = url.find(':', host_start);
    if (colon != Text::npos) {
        const std::size_t slash = url.find('/', colon + 1);
        if (slash == Text::npos) {
            return false;
        }
        host = url.substr(host_start, colon - host_start);
        port = LeadingNumber(std::string_view(url).substr(colon + 1, slash - colon - 1));
        path = url.substr(slash);
        return true;
    }
    std::size_t host_end = url.find('/', host_start);
    if (host_end == Text::npos) {
        host_end = url.size();
    }
    host = url.substr(host_start, host_end - host_start);
    port = 80;
    path = url.substr(host_end);
    return true;
}

}  // namespace miravue
