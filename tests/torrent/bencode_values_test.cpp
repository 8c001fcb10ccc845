// The value classes: texts, sizes, byte copies, dictionary order and container ownership.

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <string>

#include "torrent/bencode.h"

namespace miravue {
namespace {

using namespace std::string_literals;

std::string Encoded(const CAtom& value) {
    const Bytes bytes = EncodeValue(value);
    return std::string(bytes.begin(), bytes.end());
}

TEST(AtomInt, TextUsesTheLow32Bits) {
    const CAtomInt value(-5);
    EXPECT_TRUE(value.IsInt());
    EXPECT_FALSE(value.IsLong());
    EXPECT_EQ(value.Value(), -5);
    EXPECT_EQ(value.ToText(), "-5");
    EXPECT_EQ(value.TextLength(), 2);
    EXPECT_EQ(value.EncodedSize(), 4);
    EXPECT_EQ(Encoded(value), "i-5e");
}

TEST(AtomLong, TextIsTheFull64BitNumber) {
    const CAtomLong value(std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(value.ToText(), "-9223372036854775808");
    EXPECT_EQ(value.TextLength(), 20);
    EXPECT_EQ(value.EncodedSize(), 22);
    EXPECT_EQ(Encoded(value), "i-9223372036854775808e");
    Bytes out;
    EXPECT_TRUE(EncodeInteger(CAtomLong(3'000'000'000), out));
    EXPECT_EQ(std::string(out.begin(), out.end()), "i3000000000e");
}

TEST(AtomString, NulBytesStayInBytesButShowAsSpaces) {
    const std::string raw = "a\0b\0"s;
    const CAtomString value(raw);
    EXPECT_EQ(value.Count(), 4);
    EXPECT_EQ(value.ToText(), "a b ");
    EXPECT_EQ(value.TextLength(), 4);
    Bytes bytes;
    EXPECT_TRUE(value.CopyBytes(bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), raw);
    Bytes encoded;
    EXPECT_TRUE(EncodeString(value, encoded));
    EXPECT_EQ(std::string(encoded.begin(), encoded.end()), "4:" + raw);
    EXPECT_EQ(value.EncodedSize(), 6);
}

TEST(AtomString, SetBytesReplacesAndEmptyCountsStoreNothing) {
    CAtomString value("old"s);
    const std::uint8_t fresh[] = {'n', 'e', 'w', '!'};
    value.SetBytes(fresh, 4);
    EXPECT_EQ(value.View(), "new!");
    value.SetBytes(fresh, 0);
    EXPECT_EQ(value.Count(), 0);
    value.SetBytes(nullptr, 3);
    EXPECT_EQ(value.Count(), 0);
    EXPECT_EQ(Encoded(value), "0:");
}

TEST(AtomContainers, EmptyContainersEncodeToTwoBytes) {
    const CAtomList list;
    const CAtomDicti dictionary;
    EXPECT_EQ(Encoded(list), "le");
    EXPECT_EQ(Encoded(dictionary), "de");
    EXPECT_EQ(list.EncodedSize(), 2);
    EXPECT_EQ(dictionary.EncodedSize(), 2);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_TRUE(dictionary.IsEmpty());
}

TEST(AtomContainers, TextOfContainersIsEmpty) {
    CAtomList list;
    list.Append(std::make_unique<CAtomLong>(1));
    CAtomDicti dictionary;
    dictionary.Put("a", std::make_unique<CAtomLong>(1));
    EXPECT_EQ(list.ToText(), "");
    EXPECT_EQ(list.TextLength(), 0);
    EXPECT_EQ(dictionary.ToText(), "");
    EXPECT_EQ(dictionary.TextLength(), 0);
}

TEST(AtomDicti, PutReplacesAndFindLends) {
    CAtomDicti dictionary;
    dictionary.Put("b", std::make_unique<CAtomLong>(1));
    dictionary.Put("a", std::make_unique<CAtomString>("x"s));
    dictionary.Put("b", std::make_unique<CAtomLong>(2));
    EXPECT_EQ(dictionary.Size(), 2u);
    ASSERT_NE(dictionary.Find("b"), nullptr);
    EXPECT_EQ(dictionary.Find("b")->ToText(), "2");
    EXPECT_EQ(dictionary.Find("c"), nullptr);
    EXPECT_EQ(Encoded(dictionary), "d1:a1:x1:bi2ee");
    const auto items = dictionary.Items();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].first, "a");
    EXPECT_EQ(items[1].first, "b");
    EXPECT_EQ(items[1].second, dictionary.Find("b"));
}

TEST(AtomDicti, AssignSortsAndKeepsTheLastOfEqualKeys) {
    CAtomDicti::EntryList entries;
    entries.emplace_back("b", std::make_unique<CAtomLong>(1));
    entries.emplace_back("\x80", std::make_unique<CAtomLong>(2));
    entries.emplace_back("a", std::make_unique<CAtomLong>(3));
    entries.emplace_back("b", std::make_unique<CAtomLong>(4));
    entries.emplace_back("c", nullptr);
    entries.emplace_back("a", std::make_unique<CAtomLong>(5));
    CAtomDicti dictionary;
    dictionary.Put("old", std::make_unique<CAtomLong>(0));
    dictionary.Assign(std::move(entries));
    EXPECT_EQ(Encoded(dictionary), "d1:ai5e1:bi4e1:\x80i2ee");
    EXPECT_EQ(dictionary.Find("old"), nullptr);
    EXPECT_EQ(dictionary.Find("c"), nullptr);
}

TEST(AtomDicti, KeysOrderAsUnsignedBytes) {
    CAtomDicti dictionary;
    for (const std::string& key : {"\xff"s, "b"s, "\x80"s, "ab"s, "a"s, "\x01"s, ""s}) {
        dictionary.Put(key, std::make_unique<CAtomLong>(0));
    }
    std::vector<std::string> keys;
    for (const auto& [key, value] : dictionary.Items()) {
        keys.push_back(key);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{""s, "\x01"s, "a"s, "ab"s, "b"s, "\x80"s, "\xff"s}));
}

TEST(AtomDicti, CopyFromIsDeepAndKeepsKinds) {
    CAtomDicti source;
    source.Put("int", std::make_unique<CAtomInt>(7));
    auto list = std::make_unique<CAtomList>();
    list->Append(std::make_unique<CAtomString>("x"s));
    source.Put("list", std::move(list));

    CAtomDicti copy;
    copy.Put("gone", std::make_unique<CAtomLong>(1));
    copy.CopyFrom(source);
    source.Put("int", std::make_unique<CAtomLong>(8));
    source.Clear();

    EXPECT_EQ(copy.Find("gone"), nullptr);
    ASSERT_NE(copy.Find("int"), nullptr);
    EXPECT_TRUE(copy.Find("int")->IsInt());
    EXPECT_EQ(Encoded(copy), "d3:inti7e4:listl1:xee");
}

TEST(AtomDicti, CopyFromItselfOrItsOwnValueIsSafe) {
    CAtomDicti outer;
    auto inner = std::make_unique<CAtomDicti>();
    inner->Put("k", std::make_unique<CAtomLong>(1));
    outer.Put("inner", std::move(inner));
    outer.CopyFrom(outer);
    EXPECT_EQ(Encoded(outer), "d5:innerd1:ki1eee");
    outer.CopyFrom(static_cast<const CAtomDicti&>(*outer.Find("inner")));
    EXPECT_EQ(Encoded(outer), "d1:ki1ee");
}

TEST(AtomList, CopyIsDeepAndClearLeavesItUsable) {
    CAtomList list;
    list.Append(std::make_unique<CAtomInt>(1));
    list.Append(std::make_unique<CAtomLong>(2));
    list.Append(nullptr);
    const CAtomList copy(list);
    list.Clear();
    EXPECT_TRUE(list.IsEmpty());
    list.Append(std::make_unique<CAtomLong>(3));
    EXPECT_EQ(Encoded(list), "li3ee");
    ASSERT_EQ(copy.Size(), 2u);
    EXPECT_TRUE(copy.Items()[0]->IsInt());
    EXPECT_EQ(Encoded(copy), "li1ei2ee");
}

TEST(AtomList, ShuffleIsAPermutationDrawnFromRand) {
    auto make = [] {
        CAtomList list;
        for (int i = 0; i < 20; ++i) {
            list.Append(std::make_unique<CAtomLong>(i));
        }
        return list;
    };
    auto order = [](const CAtomList& list) {
        std::vector<std::string> texts;
        for (const CAtom* element : list.Items()) {
            texts.push_back(element->ToText());
        }
        return texts;
    };
    CAtomList first = make();
    CAtomList second = make();
    std::srand(12345);
    first.Shuffle();
    std::srand(12345);
    second.Shuffle();
    EXPECT_EQ(order(first), order(second));
    EXPECT_NE(order(first), order(make()));
    auto sorted = order(first);
    std::sort(sorted.begin(), sorted.end());
    auto expected = order(make());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(sorted, expected);
}

TEST(Encoder, PiecewiseEncodingEqualsTheBuffer) {
    // Small entries, strings around the block size and one far larger than it.
    CAtomDicti dictionary;
    auto list = std::make_unique<CAtomList>();
    for (int i = 0; i < 5000; ++i) {
        list->Append(std::make_unique<CAtomLong>(i * 7919));
        list->Append(
            std::make_unique<CAtomString>(std::string(static_cast<std::size_t>(i % 50), 'x')));
    }
    dictionary.Put("list", std::move(list));
    dictionary.Put("big", std::make_unique<CAtomString>(std::string(100'000, 'b')));
    dictionary.Put("edge", std::make_unique<CAtomString>(std::string(4095, 'e')));
    dictionary.Put("edge2", std::make_unique<CAtomString>(std::string(4096, 'f')));
    Bytes pieces;
    int calls = 0;
    EncodeValueTo(dictionary, [&](const std::uint8_t* data, std::size_t count) {
        pieces.insert(pieces.end(), data, data + count);
        ++calls;
    });
    EXPECT_EQ(pieces, EncodeValue(dictionary));
    EXPECT_EQ(static_cast<std::int64_t>(pieces.size()), dictionary.EncodedSize());
    EXPECT_GT(calls, 1);
}

}  // namespace
}  // namespace miravue
