#include "web/header_text.h"

namespace miravue {
namespace {

// "#引号" in code page 936.
constexpr std::string_view kQuoteWord = "#\xD2\xFD\xBA\xC5";

}  // namespace

Text TextBetween(std::string_view text, std::string_view startMarker, std::string_view endMarker,
                 Pos startPosition, bool caseSensitive) {
    const Text start = ReplaceText(startMarker, kQuoteWord, "\"");
    const Text end = ReplaceText(endMarker, kQuoteWord, "\"");
    const Pos found = FindText(text, start, startPosition, !caseSensitive);
    if (found == kNotFound) {
        return {};
    }
    const Pos from = found + static_cast<Pos>(start.size());
    const Pos until = FindText(text, end, from, !caseSensitive);
    if (until == kNotFound) {
        return {};
    }
    return MidText(text, from, until - from);
}

Text HeaderValue(std::string_view line) {
    const Pos colon = FindText(line, ":");
    if (colon == kNotFound) {
        return {};
    }
    return TrimSpaces(line.substr(static_cast<std::size_t>(colon)));
}

}  // namespace miravue
