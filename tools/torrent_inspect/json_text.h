#pragma once
// JSON string literals for raw byte strings.

#include <string>
#include <string_view>

namespace miravue::inspect {

bool IsValidUtf8(std::string_view bytes);

// A quoted JSON string. Bytes that are valid UTF-8 stay as they are (with the JSON
// escapes); otherwise each byte of 0x80 and above becomes \u0080..\u00FF of the same value.
std::string JsonString(std::string_view bytes);

}  // namespace miravue::inspect
