#pragma once
// Cutting values out of header-like texts.

#include <string_view>

#include "web/text.h"

namespace miravue {

// The text between the first `startMarker` found at or after `startPosition` (1 or less:
// from the beginning) and the first `endMarker` after it; empty when either is missing.
// Case-insensitive unless `caseSensitive`. "#引号" (GBK bytes) in a marker stands for a
// double quote, so a caller can write one inside a marker.
Text TextBetween(std::string_view text, std::string_view startMarker, std::string_view endMarker,
                 Pos startPosition = 0, bool caseSensitive = false);

// The text after the first ":" of `line`, trimmed; empty when there is no ":".
Text HeaderValue(std::string_view line);

}  // namespace miravue
