#include "web/cookies.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

namespace miravue {
namespace {

constexpr std::string_view kItemSeparator = ";";
constexpr std::string_view kJoinSeparator = "; ";
constexpr std::string_view kDeletedMarker = "=deleted";

// Sets of names and parts keep the merge linear: a server may send thousands of items.
using TextSet = std::unordered_set<std::string_view>;

}  // namespace

Text CookieName(std::string_view item) {
    const Pos eq = FindText(item, "=");
    return TrimSpaces(eq == kNotFound ? item : item.substr(0, static_cast<size_t>(eq - 1)));
}

bool HasCookieName(const TextList& list, std::string_view name) {
    for (const Text& member : list) {
        if (CookieName(member) == name) {
            return true;
        }
    }
    return false;
}

Pos IndexOfText(const TextList& list, std::string_view text) {
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i] == text) {
            return static_cast<Pos>(i + 1);
        }
    }
    return kNotFound;
}

Text JoinUnique(std::string_view text, std::string_view separator) {
    const TextList parts = SplitText(text, separator);
    TextSet taken;
    Text result;
    result.reserve(text.size());
    for (const Text& part : parts) {
        if (taken.insert(part).second) {
            result.append(part).append(separator);
        }
    }
    result.resize(result.size() - std::min(result.size(), separator.size()));
    return result;
}

Text MergeCookies(Text& cookies, Text& responseCookies) {
    cookies = RemoveSpaces(cookies);
    responseCookies = RemoveSpaces(responseCookies);

    const TextList oldItems = SplitText(cookies, kItemSeparator);
    TextList items = SplitText(responseCookies, kItemSeparator);

    // Names held by the new list so far; old items appended below join it, so of several old
    // items with one name only the first survives.
    std::unordered_set<Text> names;
    for (const Text& item : items) {
        names.insert(CookieName(item));
    }
    for (const Text& item : oldItems) {
        if (names.insert(CookieName(item)).second) {
            items.push_back(item);
        }
    }

    Text merged;
    merged.reserve(cookies.size() + responseCookies.size() + 2 * items.size());
    for (const Text& item : items) {
        if (RightText(item, static_cast<Pos>(kDeletedMarker.size())) != kDeletedMarker) {
            merged.append(item).append(kJoinSeparator);
        }
    }
    merged.resize(merged.size() - std::min(merged.size(), kJoinSeparator.size()));

    cookies = JoinUnique(merged, kJoinSeparator);
    return cookies;
}

}  // namespace miravue
