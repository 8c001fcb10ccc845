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
    // The same two steps as Utf8ToUtf16 followed by the code-page step, without packing the
    // units into little-endian bytes and unpacking them again.
    const std::string gbk = platform::Utf16UnitsToGbk(platform::Utf8ToUtf16Units(AsChars(utf8)));
    return Bytes(gbk.begin(), gbk.end());
}

}  // namespace miravue
