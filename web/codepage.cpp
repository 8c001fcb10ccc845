#include "web/codepage.h"

#include "platform/codepage.h"

#include <string>
#include <string_view>

namespace miravue {
namespace {

std::string_view AsChars(const Bytes& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace

Bytes Utf8ToUtf16(const Bytes& utf8) {
    const std::u16string units = platform::Utf8ToUtf16Units(AsChars(utf8));
    Bytes out;
    out.reserve(units.size() * 2);
    for (const char16_t unit : units) {
        out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        out.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return out;
}

Bytes Utf8ToGbk(const Bytes& utf8) {
    const Bytes wide = Utf8ToUtf16(utf8);
    std::u16string units(wide.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(wide[2 * i] | (wide[2 * i + 1] << 8));
    }
    const std::string gbk = platform::Utf16UnitsToGbk(units);
    return Bytes(gbk.begin(), gbk.end());
}

}  // namespace miravue
