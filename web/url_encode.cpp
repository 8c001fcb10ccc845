#include "web/url_encode.h"

namespace miravue {
namespace {

bool IsKept(unsigned char b) {
    return b == '-' || b == '.' || (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') ||
           (b >= 'a' && b <= 'z');
}

}  // namespace

Text UrlEncode(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    Text out;
    out.reserve(text.size() * 3);
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (IsKept(b)) {
            out.push_back(c);
        } else {
            out.push_back('%');
            out.push_back(kHex[b >> 4]);
            out.push_back(kHex[b & 0x0F]);
        }
    }
    return out;
}

}  // namespace miravue
