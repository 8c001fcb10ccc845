#pragma once
// Percent-encoding of a text's own bytes (code page 936, no conversion to UTF-8 first), for
// appending an address to a URL.

#include "web/text.h"

namespace miravue {

// ASCII letters, digits, "-" and "." pass unchanged; every other byte becomes "%" and two
// upper-case hexadecimal digits.
Text UrlEncode(std::string_view text);

}  // namespace miravue
