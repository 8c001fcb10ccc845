#pragma once
// Texts of the program and the byte-exact operations every routine of the web and
// shell layers is written in. Texts are code page 936 (GBK) bytes; positions and
// lengths count bytes and positions are 1-based, -1 meaning "not found".
// Stepping "by characters": a byte >= 0x80 starts a double-byte character and takes the
// byte after it along; any other byte is a character of its own. No code-page table is
// consulted, so the rules hold for any bytes, well-formed GBK or not.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace miravue {

// A GBK byte string. It holds no NUL: texts made from raw bytes stop at the first one
// (BytesToText). Absent and empty are the same value.
using Text = std::string;
// A counted byte buffer; may hold NULs.
using Bytes = std::vector<std::uint8_t>;
// Ordered texts; members are counted from 1 where a routine speaks of indexes.
using TextList = std::vector<Text>;
// A 1-based byte position or a byte count.
using Pos = std::ptrdiff_t;
inline constexpr Pos kNotFound = -1;

Pos FindText(std::string_view text, std::string_view sought, Pos start = 1, bool nocase = false);
Pos FindLastText(std::string_view text, std::string_view sought, bool nocase = false);
Text LeftText(std::string_view text, Pos count);
Text RightText(std::string_view text, Pos count);
Text MidText(std::string_view text, Pos start, Pos count);
Text TrimSpaces(std::string_view text);
Text RemoveSpaces(std::string_view text);
Text ReplaceText(std::string_view text, std::string_view sought, std::string_view replacement);
TextList SplitText(std::string_view text, std::string_view delimiter);
Text LowerText(std::string_view text);
std::int32_t TextToInt(std::string_view text);
Bytes TextToBytes(std::string_view text);
Text BytesToText(const Bytes& bytes);
Pos FindBytes(const Bytes& bytes, const Bytes& sought);
Text BlankText(Pos count);
Bytes BlankBytes(Pos count);
int CompareText(std::string_view a, std::string_view b);

}  // namespace miravue
