// The code-page seam on the system converter, which is the reference the Linux backend
// imitates: whatever Windows makes of a text is by definition the right answer here.

#include <windows.h>

#include <climits>
#include <string>
#include <string_view>

#include "platform/codepage.h"

namespace miravue::platform {

namespace {

constexpr UINT kCodePageGbk = 936;

// The converters count in int; a longer input is cut rather than wrapped into a negative
// count, which they would read as "up to the first zero".
int ClampedCount(std::size_t size) {
    return size > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(size);
}

std::u16string MultiByteToUnits(UINT codePage, std::string_view bytes) {
    const int count = ClampedCount(bytes.size());
    if (count == 0)
        return {};
    const int needed = MultiByteToWideChar(codePage, 0, bytes.data(), count, nullptr, 0);
    if (needed <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    const int written = MultiByteToWideChar(codePage, 0, bytes.data(), count, wide.data(), needed);
    if (written <= 0)
        return {};
    return std::u16string(wide.begin(), wide.begin() + written);
}

std::string UnitsToMultiByte(UINT codePage, DWORD flags, std::u16string_view units) {
    const int count = ClampedCount(units.size());
    if (count == 0)
        return {};
    const std::wstring wide(units.begin(), units.begin() + count);
    const int needed =
        WideCharToMultiByte(codePage, flags, wide.data(), count, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return {};
    std::string bytes(static_cast<std::size_t>(needed), '\0');
    const int written = WideCharToMultiByte(codePage, flags, wide.data(), count, bytes.data(),
                                            needed, nullptr, nullptr);
    if (written <= 0)
        return {};
    bytes.resize(static_cast<std::size_t>(written));
    return bytes;
}

bool IsGbkTrailByte(unsigned char byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFE);
}

// Code page 936 to UTF-16 with the same answer for broken input as the Linux backend: a
// character that does not decode becomes U+FFFD, and a lead byte whose follower cannot be a
// trail byte stands alone, so the follower (a quote, a backslash) is not swallowed. The system
// converter alone would give "?" and take the follower with it.
std::u16string GbkToUnits(std::string_view gbk) {
    const int count = ClampedCount(gbk.size());
    if (count == 0)
        return {};
    const std::string_view text = gbk.substr(0, static_cast<std::size_t>(count));
    if (MultiByteToWideChar(kCodePageGbk, MB_ERR_INVALID_CHARS, text.data(), count, nullptr, 0) >
        0) {
        return MultiByteToUnits(kCodePageGbk, text);
    }
    std::u16string units;
    units.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = 1;
        if (IsDBCSLeadByteEx(kCodePageGbk, lead) && i + 1 < text.size() &&
            IsGbkTrailByte(static_cast<unsigned char>(text[i + 1]))) {
            length = 2;
        }
        wchar_t unit[2] = {};
        const int written = MultiByteToWideChar(kCodePageGbk, MB_ERR_INVALID_CHARS, text.data() + i,
                                                static_cast<int>(length), unit, 2);
        if (written > 0) {
            units.append(unit, unit + written);
        } else {
            units.push_back(u'\uFFFD');
        }
        i += length;
    }
    return units;
}

}  // namespace

std::u16string Utf8ToUtf16Units(std::string_view utf8) {
    // No MB_ERR_INVALID_CHARS: malformed input becomes U+FFFD instead of failing whole.
    return MultiByteToUnits(CP_UTF8, utf8);
}

std::string Utf16UnitsToGbk(std::u16string_view units) {
    // No default character of our own: the code page's own ("?") stands in.
    return UnitsToMultiByte(kCodePageGbk, WC_COMPOSITECHECK, units);
}

std::string GbkToUtf8(std::string_view gbk) {
    // CP_UTF8 takes no flags.
    return UnitsToMultiByte(CP_UTF8, 0, GbkToUnits(gbk));
}

}  // namespace miravue::platform
