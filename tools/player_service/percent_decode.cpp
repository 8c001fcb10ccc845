#include "percent_decode.h"

namespace miravue::player_service {

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

std::string PercentDecode(std::string_view encoded) {
    std::string bytes;
    bytes.reserve(encoded.size());
    for (size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '%' && i + 2 < encoded.size()) {
            const int high = HexDigitValue(encoded[i + 1]);
            const int low = HexDigitValue(encoded[i + 2]);
            if (high >= 0 && low >= 0) {
                bytes.push_back(static_cast<char>(high * 16 + low));
                i += 2;
                continue;
            }
        }
        bytes.push_back(encoded[i]);
    }
    return bytes;
}

std::string_view QueryParameter(std::string_view target, std::string_view name) {
    const size_t question = target.find('?');
    if (question == std::string_view::npos) {
        return {};
    }
    std::string_view query = target.substr(question + 1);
    query = query.substr(0, query.find('#'));
    while (!query.empty()) {
        const size_t amp = query.find('&');
        const std::string_view item = query.substr(0, amp);
        const size_t eq = item.find('=');
        if (eq != std::string_view::npos && item.substr(0, eq) == name) {
            return item.substr(eq + 1);
        }
        if (amp == std::string_view::npos) {
            break;
        }
        query.remove_prefix(amp + 1);
    }
    return {};
}

}  // namespace miravue::player_service
