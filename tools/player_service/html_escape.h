#pragma once
// Everything the page shows comes from the request, so it goes through here first.

#include <string>
#include <string_view>

namespace miravue::player_service {

// Escapes UTF-8 text for HTML element content and double- or single-quoted attribute values.
// Control characters other than tab and line feed (NUL included) become U+FFFD.
std::string HtmlEscape(std::string_view utf8);

}  // namespace miravue::player_service
