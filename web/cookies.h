#pragma once
// A caller's cookie store kept as one text of "; "-separated name=value items, and the merge
// that folds a response's cookies into it. Nothing but the names is parsed: no domains, paths
// or expiry dates.

#include "web/text.h"

namespace miravue {

// Folds `responseCookies` into `cookies`. Both are rewritten: spaces are removed from both,
// and `cookies` becomes the received items in order, then the old items whose names were not
// received, without items ending in "=deleted" and without exact repeats. Returns a copy of
// the new `cookies`.
Text MergeCookies(Text& cookies, Text& responseCookies);

// The text before the item's first "=" (the whole item when it has none), trimmed.
Text CookieName(std::string_view item);

// Whether some member of `list` has the cookie name `name` (byte for byte).
bool HasCookieName(const TextList& list, std::string_view name);

// The parts of `text` between separators, each repeated part dropped after its first
// occurrence, joined again with the separator.
Text JoinUnique(std::string_view text, std::string_view separator);

// The 1-based index of the first member equal to `text`, or -1.
Pos IndexOfText(const TextList& list, std::string_view text);

}  // namespace miravue
