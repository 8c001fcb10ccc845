#pragma once
// Reading the address out of a /play request target.

#include <string>
#include <string_view>

namespace miravue::player_service {

// Turns every "%XY" (two hex digits, either case) into its byte. A "%" not followed by two hex
// digits stays as it is: the address came from a user's clipboard and must not be dropped.
// "+" stays "+": the program encodes spaces as "%20".
std::string PercentDecode(std::string_view encoded);

// The still-encoded value of the first `name`=... parameter of the query part of `target`
// (up to the next "&" or "#"), or the empty text when there is none.
std::string_view QueryParameter(std::string_view target, std::string_view name);

}  // namespace miravue::player_service
