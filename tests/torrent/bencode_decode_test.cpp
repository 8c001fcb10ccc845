// The decoder's tolerance, its limits and the canonical re-encoding of what it accepts.

#include <gtest/gtest.h>

#include <string>

#include "test_files.h"
#include "torrent/bencode.h"

namespace miravue {
namespace {

using namespace std::string_literals;

std::string Encoded(const CAtom& value) {
    const Bytes bytes = EncodeValue(value);
    return std::string(bytes.begin(), bytes.end());
}

struct DecodeCase {
    const char* name;
    std::string input;
    bool decodes;
    std::string canonical;  // the re-encoding when it decodes
};

class DecodeTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTest, DecodesAndReencodes) {
    const DecodeCase& c = GetParam();
    const auto value = DecodeValue(c.input);
    if (!c.decodes) {
        EXPECT_EQ(value, nullptr);
        return;
    }
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(Encoded(*value), c.canonical);
    EXPECT_EQ(value->EncodedSize(), static_cast<std::int64_t>(c.canonical.size()));
}

const DecodeCase kDecodeCases[] = {
    {"Integer", "i42e", true, "i42e"},
    {"NegativeInteger", "i-7e", true, "i-7e"},
    {"LeadingZerosAtTopLevel", "i007e", true, "i7e"},
    {"PlusSign", "i+5e", true, "i5e"},
    {"StopsAtFirstNonDigit", "i12x3e", true, "i12e"},
    {"LeadingWhiteSpace", "i \t3e", true, "i3e"},
    {"MinusZero", "i-0e", true, "i0e"},
    {"NoDigitsIsZero", "ie", true, "i0e"},
    {"SignWithoutDigitsIsZero", "i-e", true, "i0e"},
    {"LetterWithoutDigitsIsZero", "ixe", true, "i0e"},
    {"IntegerSaturatesHigh", "i99999999999999999999e", true, "i9223372036854775807e"},
    {"IntegerSaturatesLow", "i-99999999999999999999e", true, "i-9223372036854775808e"},
    {"SixtyFourBitExtremes", "i-9223372036854775808e", true, "i-9223372036854775808e"},
    {"TrailingBytesIgnored", "i5ejunk", true, "i5e"},
    {"IntegerWithoutE", "i5", false, ""},
    {"String", "4:spam", true, "4:spam"},
    {"EmptyString", "0:", true, "0:"},
    {"StringCountLeadingZeros", "04:spam", true, "4:spam"},
    {"StringManyLeadingZeros", "000000000000000000004:spam", true, "4:spam"},
    {"StringHoldsNul", "3:a\0b"s, true, "3:a\0b"s},
    {"NonDigitBeforeColon", "3x:abc", false, ""},
    {"NoColon", "42", false, ""},
    {"StringBeyondData", "5:abc", false, ""},
    {"StringCountBeyond32Bits", "4294967296:abc", false, ""},
    {"StringCountHuge", "99999999999999999999:abc", false, ""},
    {"ListPositionShiftFails", "li007ei1ee", false, ""},
    {"List", "li1ei2ee", true, "li1ei2ee"},
    {"EmptyIntegerShiftsInList", "lieei1ee", true, "li0ei1ee"},
    {"ListOfStrings", "l4:spam4:eggse", true, "l4:spam4:eggse"},
    {"EmptyList", "le", true, "le"},
    {"ListCutOff", "li1e", true, "li1ee"},
    {"NestedListCutOff", "lli1e", true, "lli1eee"},
    {"LoneL", "l", true, "le"},
    {"ListWithBadElement", "lxe", false, ""},
    {"ListWithStringBeyondData", "l5:ab", false, ""},
    {"KeysSorted", "d1:bi2e1:ai1ee", true, "d1:ai1e1:bi2ee"},
    {"RepeatedKeyLastWins", "d1:ai1e1:ai2ee", true, "d1:ai2ee"},
    {"RepeatsOutOfOrderLastWins", "d1:bi1e1:ai2e1:bi3e1:ai4ee", true, "d1:ai4e1:bi3ee"},
    {"NulKeyRepeatsSpaceKey", "d2:a i1e2:a\0i2ee"s, true, "d2:a i2ee"},
    // The dictionary counts as "d1:ai2ee", so the list looks for its next element at the
    // ":" of the second key.
    {"RepeatedKeyShrinksTheShift", "ld1:ai1e1:ai2eei7ee", false, ""},
    {"NulInKeyBecomesSpace", "d3:a\0bi1ee"s, true, "d3:a bi1ee"},
    {"KeysAsUnsignedBytes", "d1:\x80i1e1:\x7fi2ee", true, "d1:\x7fi2e1:\x80i1ee"},
    {"PrefixKeyFirst", "d2:aai1e1:ai2ee", true, "d1:ai2e2:aai1ee"},
    {"IntegerKey", "di1ei2ee", false, ""},
    {"ListKey", "dli1eei2ee", false, ""},
    {"DictionaryCutOff", "d3:fooi1e", true, "d3:fooi1ee"},
    {"KeyWithoutValueDropped", "d3:foo", true, "de"},
    {"NestedDictionaryCutOff", "d1:ad1:bi1e", true, "d1:ad1:bi1eee"},
    {"EmptyDictionary", "de", true, "de"},
    {"DictionaryBadValue", "d1:axe", false, ""},
    {"ShiftInsideDictionaryEndsIt", "d1:ai01e1:bi2ee", true, "d1:ai1ee"},
    {"UnknownByte", "x", false, ""},
    {"Empty", "", false, ""},
};

INSTANTIATE_TEST_SUITE_P(Bencode, DecodeTest, testing::ValuesIn(kDecodeCases),
                         [](const auto& test_case) { return std::string(test_case.param.name); });

TEST(DecodeKinds, IntegersAreLongs) {
    const auto value = DecodeValue("i42e");
    ASSERT_NE(value, nullptr);
    EXPECT_TRUE(value->IsLong());
    EXPECT_FALSE(value->IsInt());
    EXPECT_EQ(static_cast<const CAtomLong&>(*value).Value(), 42);
}

TEST(DecodeKinds, EmptyStringHasCountZero) {
    const auto value = DecodeValue("0:");
    ASSERT_NE(value, nullptr);
    ASSERT_TRUE(value->IsString());
    const auto& text = static_cast<const CAtomString&>(*value);
    EXPECT_EQ(text.Count(), 0);
    Bytes bytes{1, 2, 3};
    EXPECT_FALSE(text.CopyBytes(bytes));
    EXPECT_TRUE(bytes.empty());
}

TEST(DecodeKinds, LeadingZeroStringKeepsItsBytes) {
    const auto value = DecodeValue("04:spam");
    ASSERT_NE(value, nullptr);
    ASSERT_TRUE(value->IsString());
    EXPECT_EQ(static_cast<const CAtomString&>(*value).Count(), 4);
    EXPECT_EQ(value->ToText(), "spam");
}

TEST(DecodePositions, StartsAtTheGivenPosition) {
    const std::string data = "xxli1ei2ee";
    const auto value = DecodeValue(data, 2);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(Encoded(*value), "li1ei2ee");
    EXPECT_EQ(DecodeValue(data, data.size()), nullptr);
    EXPECT_EQ(DecodeValue(data, data.size() + 5), nullptr);
}

TEST(DecodePositions, NullDataIsEmpty) {
    EXPECT_EQ(DecodeValue(nullptr, 10, 0), nullptr);
    EXPECT_EQ(DecodeList(nullptr, 10, 0), nullptr);
}

TEST(DecodePositions, EntryPointsForEachKind) {
    const std::string data = "i5e3:abcli1eed1:ai2ee";
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
    auto integer = DecodeInteger(bytes, data.size(), 0);
    auto string = DecodeString(bytes, data.size(), 3);
    auto list = DecodeList(bytes, data.size(), 8);
    auto dictionary = DecodeDictionary(bytes, data.size(), 13);
    ASSERT_TRUE(integer && string && list && dictionary);
    EXPECT_EQ(Encoded(*integer), "i5e");
    EXPECT_EQ(Encoded(*string), "3:abc");
    EXPECT_EQ(Encoded(*list), "li1ee");
    EXPECT_EQ(Encoded(*dictionary), "d1:ai2ee");
}

// A run of zeros that the position shift walks through element by element, to check that
// the run is not scanned again for every element (quadratic time would time this out).
TEST(DecodeLimits, LongZeroRunInListIsLinear) {
    const std::string data = "l" + std::string(3'999'999, '0') + ":e";
    const auto value = DecodeValue(data);
    ASSERT_NE(value, nullptr);
    ASSERT_TRUE(value->IsList());
    // "00:" is the empty string with EncodedSize 2: the decoder steps two zeros at a time.
    EXPECT_EQ(static_cast<const CAtomList&>(*value).Size(), 2'000'000u);
}

std::string Nested(std::size_t depth) {
    return std::string(depth, 'l') + std::string(depth, 'e');
}

TEST(DecodeLimits, NestingUpToTheLimitDecodes) {
    const std::string data = Nested(kMaxBencodeNesting);
    const auto value = DecodeValue(data);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(Encoded(*value), data);
}

TEST(DecodeLimits, NestingBeyondTheLimitGivesNone) {
    EXPECT_EQ(DecodeValue(Nested(kMaxBencodeNesting + 1)), nullptr);
    EXPECT_EQ(DecodeValue(std::string(1'000'000, 'l')), nullptr);
    std::string dictionaries;
    for (int i = 0; i < 100'000; ++i) {
        dictionaries += "d1:a";
    }
    EXPECT_EQ(DecodeValue(dictionaries), nullptr);
}

TEST(DecodeFileTest, ReadsTheFirstValueOfAFile) {
    const test::ScratchDir dir;
    const auto path = dir.Write("value.bin", "d3:fooi1ee trailing");
    const auto value = DecodeFile(path);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(Encoded(*value), "d3:fooi1ee");
}

TEST(DecodeFileTest, UnreadableFilesGiveNone) {
    const test::ScratchDir dir;
    EXPECT_EQ(DecodeFile(dir.Write("empty.bin", "")), nullptr);
    EXPECT_EQ(DecodeFile(dir.path() + "/missing.bin"), nullptr);
    EXPECT_EQ(DecodeFile(dir.path()), nullptr);  // a directory
    EXPECT_EQ(DecodeFile(""), nullptr);
    const auto path = dir.Write("value.bin", "i1e");
    EXPECT_EQ(DecodeFile(path + "\0x"s), nullptr);
}

TEST(DecodeFileTest, ReadWholeFileHonoursItsSizeLimit) {
    const test::ScratchDir dir;
    const auto path = dir.Write("ten.bin", "0123456789");
    Bytes contents;
    EXPECT_TRUE(ReadWholeFile(path, contents, 10));
    EXPECT_EQ(contents.size(), 10u);
    EXPECT_FALSE(ReadWholeFile(path, contents, 9));
    EXPECT_TRUE(contents.empty());
}

}  // namespace
}  // namespace miravue
