#pragma once
// Code-page conversion of response bodies: UTF-8 to UTF-16 and UTF-8 to code page 936 (GBK),
// the code page every text of the program is held in. Both never fail and report nothing:
// malformed UTF-8 decodes to U+FFFD and what code page 936 lacks becomes "?".

#include "web/text.h"

namespace miravue {

// UTF-16 little-endian code units of the input, two bytes each, no terminating zero unit.
Bytes Utf8ToUtf16(const Bytes& utf8);

// The input's characters in code page 936, without a terminating NUL. A zero byte in the input
// stays a zero byte in the output.
Bytes Utf8ToGbk(const Bytes& utf8);

}  // namespace miravue
