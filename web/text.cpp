#include "web/text.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace miravue {
namespace {

using Byte = unsigned char;

constexpr Byte kLeadMin = 0x80;       // bytes from here on start a double-byte character
constexpr Byte kWideSpace = 0xA1;     // A1 A1 is the full-width space
constexpr Byte kWideAsciiRow = 0xA3;  // A3 A1..FE are the full-width forms of 21..7E

Byte At(std::string_view s, size_t i) {
    return static_cast<Byte>(s[i]);
}

// Bytes of the character starting at i: 2 for a lead byte with a byte after it, else 1.
// A lead byte at the very end is a character of one byte, so no scan ever steps past the end.
size_t CharLen(std::string_view s, size_t i) {
    return (At(s, i) >= kLeadMin && i + 1 < s.size()) ? 2 : 1;
}

bool IsLeadAtEnd(std::string_view s, size_t i) {
    return At(s, i) >= kLeadMin && i + 1 == s.size();
}

// Length of the space starting at i (1 for 0x20, 2 for A1 A1), 0 when none starts there.
size_t SpaceLen(std::string_view s, size_t i) {
    if (At(s, i) == ' ') {
        return 1;
    }
    if (At(s, i) == kWideSpace && i + 1 < s.size() && At(s, i + 1) == kWideSpace) {
        return 2;
    }
    return 0;
}

Byte FoldAscii(Byte b) {
    return (b >= 'A' && b <= 'Z') ? static_cast<Byte>(b + ('a' - 'A')) : b;
}

bool MatchesAt(std::string_view text, size_t i, std::string_view sought, bool nocase) {
    if (!nocase) {
        // The first byte rules out almost every position before a full comparison is paid for.
        return text[i] == sought[0] && text.compare(i, sought.size(), sought) == 0;
    }
    for (size_t k = 0; k < sought.size(); ++k) {
        if (FoldAscii(At(text, i + k)) != FoldAscii(At(sought, k))) {
            return false;
        }
    }
    return true;
}

Text Substring(std::string_view s, size_t from, size_t count) {
    return Text(s.substr(from, count));
}

}  // namespace

Pos FindText(std::string_view text, std::string_view sought, Pos start, bool nocase) {
    const size_t first = start < 1 ? 0 : static_cast<size_t>(start - 1);
    if (first >= text.size()) {
        return kNotFound;
    }
    if (sought.empty()) {
        return 1;
    }
    // Stepping starts at the region's own first byte, the way the caller placed it.
    for (size_t i = first; i + sought.size() <= text.size(); i += CharLen(text, i)) {
        if (MatchesAt(text, i, sought, nocase)) {
            return static_cast<Pos>(i + 1);
        }
    }
    return kNotFound;
}

Pos FindLastText(std::string_view text, std::string_view sought, bool nocase) {
    if (text.empty()) {
        return kNotFound;
    }
    if (sought.empty()) {
        return 1;
    }
    Pos last = kNotFound;
    for (size_t i = 0; i + sought.size() <= text.size(); i += CharLen(text, i)) {
        if (MatchesAt(text, i, sought, nocase)) {
            last = static_cast<Pos>(i + 1);
        }
    }
    return last;
}

Text LeftText(std::string_view text, Pos count) {
    if (count <= 0) {
        return {};
    }
    return Substring(text, 0, static_cast<size_t>(count));
}

Text RightText(std::string_view text, Pos count) {
    if (count <= 0) {
        return {};
    }
    const size_t n = std::min(text.size(), static_cast<size_t>(count));
    return Substring(text, text.size() - n, n);
}

Text MidText(std::string_view text, Pos start, Pos count) {
    const Pos p = start - 1;
    if (p < 0 || static_cast<size_t>(p) >= text.size() || count <= 0) {
        return {};
    }
    return Substring(text, static_cast<size_t>(p), static_cast<size_t>(count));
}

Text TrimSpaces(std::string_view text) {
    size_t begin = 0;
    while (begin < text.size()) {
        const size_t space = SpaceLen(text, begin);
        if (space == 0) {
            break;
        }
        begin += space;
    }
    size_t end = text.size();
    size_t runStart = text.size();  // where the current run of spaces began; size() = no run
    for (size_t i = begin; i < text.size();) {
        if (IsLeadAtEnd(text, i)) {
            // An incomplete double-byte character is cut on its own; spaces before it stay.
            end = i;
            runStart = text.size();
            break;
        }
        const size_t space = SpaceLen(text, i);
        if (space != 0) {
            if (runStart == text.size()) {
                runStart = i;
            }
            i += space;
        } else {
            runStart = text.size();
            i += CharLen(text, i);
        }
    }
    if (runStart != text.size()) {
        end = runStart;
    }
    return Substring(text, begin, end - begin);
}

Text RemoveSpaces(std::string_view text) {
    Text out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (IsLeadAtEnd(text, i)) {
            break;
        }
        const size_t space = SpaceLen(text, i);
        if (space != 0) {
            i += space;
            continue;
        }
        const size_t len = CharLen(text, i);
        out.append(text.substr(i, len));
        i += len;
    }
    return out;
}

Text ReplaceText(std::string_view text, std::string_view sought, std::string_view replacement) {
    if (text.empty() || sought.empty()) {
        return Text(text);
    }
    Text out;
    out.reserve(text.size());
    size_t i = 0;
    while (i + sought.size() <= text.size()) {
        if (text.compare(i, sought.size(), sought) == 0) {
            out.append(replacement);
            i += sought.size();
        } else {
            const size_t len = CharLen(text, i);
            out.append(text.substr(i, len));
            i += len;
        }
    }
    out.append(text.substr(i));
    return out;
}

TextList SplitText(std::string_view text, std::string_view delimiter) {
    TextList parts;
    if (text.empty()) {
        return parts;
    }
    if (delimiter.empty()) {
        parts.emplace_back(text);
        return parts;
    }
    size_t pieceStart = 0;
    size_t i = 0;
    while (i + delimiter.size() <= text.size()) {
        if (text.compare(i, delimiter.size(), delimiter) == 0) {
            parts.emplace_back(text.substr(pieceStart, i - pieceStart));
            i += delimiter.size();
            pieceStart = i;
        } else {
            i += CharLen(text, i);
        }
    }
    if (pieceStart < text.size()) {
        parts.emplace_back(text.substr(pieceStart));
    }
    return parts;
}

Text LowerText(std::string_view text) {
    Text out(text);
    for (size_t i = 0; i < out.size(); i += CharLen(out, i)) {
        out[i] = static_cast<char>(FoldAscii(At(out, i)));
    }
    return out;
}

std::int32_t TextToInt(std::string_view text) {
    // Full-width digits, signs and spaces are typed by GBK users as readily as ASCII ones.
    Text ascii;
    ascii.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const size_t len = CharLen(text, i);
        if (len == 2) {
            const Byte lead = At(text, i);
            const Byte trail = At(text, i + 1);
            if (lead == kWideAsciiRow && trail >= 0xA1 && trail <= 0xFE) {
                ascii.push_back(static_cast<char>(trail - 0x80));
            } else if (lead == kWideSpace && trail == 0xA1) {
                ascii.push_back(' ');
            } else if (lead == kWideSpace && trail == 0xAB) {
                ascii.push_back('~');
            } else if (lead == kWideSpace && (trail == 0xEE || trail == 0xEF)) {
                ascii.push_back('*');
            } else {
                ascii.append(text.substr(i, 2));
            }
        } else {
            ascii.push_back(text[i]);
        }
        i += len;
    }

    size_t i = 0;
    const auto isWhite = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (i < ascii.size() && isWhite(ascii[i])) {
        ++i;
    }
    bool negative = false;
    if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) {
        negative = ascii[i] == '-';
        ++i;
    }
    // Out-of-range values saturate, as the C library's conversion on Windows does, rather than
    // wrapping into a number of the other sign.
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    std::int64_t value = 0;
    for (; i < ascii.size() && ascii[i] >= '0' && ascii[i] <= '9'; ++i) {
        value = std::min<std::int64_t>(value * 10 + (ascii[i] - '0'), kMax + 1);
    }
    value = negative ? -value : value;
    return static_cast<std::int32_t>(std::clamp(value, kMin, kMax));
}

Bytes TextToBytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

Text BytesToText(const Bytes& bytes) {
    const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    return Text(bytes.begin(), end);
}

Pos FindBytes(const Bytes& bytes, const Bytes& sought) {
    if (sought.empty()) {
        return kNotFound;
    }
    const auto it = std::search(bytes.begin(), bytes.end(), sought.begin(), sought.end());
    return it == bytes.end() ? kNotFound : static_cast<Pos>(it - bytes.begin() + 1);
}

Text BlankText(Pos count) {
    return count <= 0 ? Text{} : Text(static_cast<size_t>(count), ' ');
}

Bytes BlankBytes(Pos count) {
    return count <= 0 ? Bytes{} : Bytes(static_cast<size_t>(count), std::uint8_t{0});
}

int CompareText(std::string_view a, std::string_view b) {
    // std::char_traits<char> compares as unsigned char, so bytes above 0x7F sort high.
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace miravue
