#pragma once
// Bencoded values in memory (BEP 3): integers, byte strings, lists and dictionaries,
// with the permissive decoder and the canonical encoder the info hash is computed with.
// Byte strings are raw bytes; nothing here converts code pages.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "web/text.h"

namespace miravue {

// Deeper nesting than this makes the decoder give none instead of recursing on: real
// torrents nest four or five levels, and the limit keeps the stack use small even on the
// 1 MiB main-thread stack of Windows.
inline constexpr int kMaxBencodeNesting = 1000;

// Files larger than this are not read at all: the biggest real torrents are tens of MiB,
// and reading keeps about four copies alive, which must fit a 32-bit address space.
inline constexpr std::uint64_t kMaxBencodeFileSize = 256u * 1024u * 1024u;

class CAtom {
  public:
    virtual ~CAtom() = default;

    virtual bool IsInt() const { return false; }
    virtual bool IsLong() const { return false; }
    virtual bool IsList() const { return false; }
    virtual bool IsDicti() const { return false; }
    virtual bool IsString() const { return false; }
    // Length in bytes of the canonical encoding the encoder produces for this value.
    virtual std::int64_t EncodedSize() const = 0;
    // Length of ToText().
    virtual std::int64_t TextLength() const = 0;
    virtual Text ToText() const = 0;
    // A deep copy of the same kind.
    virtual std::unique_ptr<CAtom> Clone() const = 0;

  protected:
    CAtom() = default;
    CAtom(const CAtom&) = default;
    CAtom& operator=(const CAtom&) = default;
    CAtom(CAtom&&) = default;
    CAtom& operator=(CAtom&&) = default;
};

// An integer whose text and encoded size use only its low 32 bits. Built from a 32-bit
// number so that its text, its encoded size and its encoding always agree.
class CAtomInt final : public CAtom {
  public:
    explicit CAtomInt(std::int32_t value) : value_(value) {}

    bool IsInt() const override { return true; }
    std::int64_t EncodedSize() const override { return TextLength() + 2; }
    std::int64_t TextLength() const override;
    Text ToText() const override;
    std::unique_ptr<CAtom> Clone() const override { return std::make_unique<CAtomInt>(*this); }

    std::int64_t Value() const { return value_; }

  private:
    std::int64_t value_;
};

// The kind the decoder makes for every integer: a signed 64-bit number.
class CAtomLong final : public CAtom {
  public:
    explicit CAtomLong(std::int64_t value) : value_(value) {}

    bool IsLong() const override { return true; }
    std::int64_t EncodedSize() const override { return TextLength() + 2; }
    std::int64_t TextLength() const override;
    Text ToText() const override;
    std::unique_ptr<CAtom> Clone() const override { return std::make_unique<CAtomLong>(*this); }

    std::int64_t Value() const { return value_; }

  private:
    std::int64_t value_;
};

// A byte string; it may hold NUL bytes. Its count is a signed 32-bit number.
class CAtomString final : public CAtom {
  public:
    CAtomString() = default;
    CAtomString(const std::uint8_t* bytes, std::int32_t count) { SetBytes(bytes, count); }
    explicit CAtomString(std::string_view bytes);

    bool IsString() const override { return true; }
    std::int64_t EncodedSize() const override;
    std::int64_t TextLength() const override { return Count(); }
    // The bytes with each NUL replaced by a space.
    Text ToText() const override;
    std::unique_ptr<CAtom> Clone() const override { return std::make_unique<CAtomString>(*this); }

    std::int32_t Count() const { return static_cast<std::int32_t>(bytes_.size()); }
    // The stored bytes unchanged, NULs included; valid while the value is unchanged.
    std::string_view View() const { return bytes_; }
    // Sets `bytes` to a copy of the stored bytes; false (and `bytes` empty) for count 0.
    bool CopyBytes(Bytes& bytes) const;
    // A negative count or no pointer stores the empty string.
    void SetBytes(const std::uint8_t* bytes, std::int32_t count);

  private:
    std::string bytes_;
};

class CAtomList final : public CAtom {
  public:
    CAtomList() = default;
    CAtomList(const CAtomList& other);
    CAtomList& operator=(const CAtomList& other);
    CAtomList(CAtomList&&) = default;
    CAtomList& operator=(CAtomList&&) = default;
    ~CAtomList() override = default;

    bool IsList() const override { return true; }
    std::int64_t EncodedSize() const override;
    std::int64_t TextLength() const override { return 0; }
    Text ToText() const override { return {}; }
    std::unique_ptr<CAtom> Clone() const override { return std::make_unique<CAtomList>(*this); }

    bool IsEmpty() const { return elements_.empty(); }
    std::size_t Size() const { return elements_.size(); }
    void Clear() { elements_.clear(); }
    // Random permutation drawn from the process-wide std::rand (not seeded here).
    void Shuffle();
    // Takes ownership; a null value is ignored.
    void Append(std::unique_ptr<CAtom> value);
    // A snapshot of the element pointers; the list keeps ownership.
    std::vector<const CAtom*> Items() const;
    // The elements in place, for walks that need no snapshot.
    const std::vector<std::unique_ptr<CAtom>>& Elements() const { return elements_; }

  private:
    std::vector<std::unique_ptr<CAtom>> elements_;
};

// Dictionary keys compare as unsigned bytes, the shorter key first when one is a prefix of
// the other: the order BEP 3 prescribes. (std::char_traits<char> compares as unsigned char.)
struct BencodeKeyLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return a.compare(b) < 0; }
};

class CAtomDicti final : public CAtom {
  public:
    CAtomDicti() = default;
    CAtomDicti(const CAtomDicti& other) { CopyFrom(other); }
    CAtomDicti& operator=(const CAtomDicti& other) {
        CopyFrom(other);
        return *this;
    }
    CAtomDicti(CAtomDicti&&) = default;
    CAtomDicti& operator=(CAtomDicti&&) = default;
    ~CAtomDicti() override = default;

    bool IsDicti() const override { return true; }
    std::int64_t EncodedSize() const override;
    std::int64_t TextLength() const override { return 0; }
    Text ToText() const override { return {}; }
    std::unique_ptr<CAtom> Clone() const override { return std::make_unique<CAtomDicti>(*this); }

    bool IsEmpty() const { return entries_.empty(); }
    std::size_t Size() const { return entries_.size(); }
    void Clear() { entries_.clear(); }
    // Replaces the contents with deep copies of `other`'s entries (nothing when it is this).
    void CopyFrom(const CAtomDicti& other);
    // The value under `key`, or null; the dictionary keeps ownership.
    const CAtom* Find(std::string_view key) const;
    // Takes ownership; a value already under `key` is destroyed. A null value is ignored.
    void Put(std::string_view key, std::unique_ptr<CAtom> value);
    // Removes the entry under `key` and hands its value to the caller (null when absent).
    std::unique_ptr<CAtom> Take(std::string_view key);
    // A snapshot of the entries in key order; the dictionary keeps ownership of the values.
    std::vector<std::pair<Text, const CAtom*>> Items() const;
    using Entry = std::pair<std::string, std::unique_ptr<CAtom>>;
    // Kept sorted by key with unique keys. A sorted vector rather than a tree: a torrent
    // holds a dictionary per file, most with two or three keys, and one block per
    // dictionary costs far less to build, search and free than a node per key.
    using EntryList = std::vector<Entry>;
    // The entries in place, in key order, for walks that need no snapshot.
    const EntryList& Entries() const { return entries_; }
    // Replaces the contents with `entries` in key order; of equal keys the last one stays,
    // as if each had been Put in turn. Entries with a null value are dropped.
    void Assign(EntryList entries);

  private:
    EntryList::iterator LowerBound(std::string_view key);
    EntryList::const_iterator LowerBound(std::string_view key) const;

    EntryList entries_;
};

// Decoder. Every function gives a new value or null; `position` is a 0-based byte index
// at the value's first byte. Inside containers the decoder moves on by each element's
// EncodedSize, not by the bytes it read, so non-canonical elements shift its position.
std::unique_ptr<CAtom> DecodeValue(const std::uint8_t* data, std::size_t size,
                                   std::size_t position);
std::unique_ptr<CAtom> DecodeInteger(const std::uint8_t* data, std::size_t size,
                                     std::size_t position);
std::unique_ptr<CAtom> DecodeString(const std::uint8_t* data, std::size_t size,
                                    std::size_t position);
std::unique_ptr<CAtom> DecodeList(const std::uint8_t* data, std::size_t size, std::size_t position);
std::unique_ptr<CAtom> DecodeDictionary(const std::uint8_t* data, std::size_t size,
                                        std::size_t position);
// Convenience for byte strings held in a std::string or a literal.
std::unique_ptr<CAtom> DecodeValue(std::string_view data, std::size_t position = 0);
// Decodes the value at the start of the file; null when the file cannot be read, is empty,
// is larger than kMaxBencodeFileSize or does not decode.
std::unique_ptr<CAtom> DecodeFile(const Text& path);
// Reads a whole file in binary mode; false when it cannot be opened or read completely, or
// when it is larger than `max_size` bytes. The path is a code page 936 text, as every path
// of the program.
bool ReadWholeFile(const Text& path, Bytes& contents, std::uint64_t max_size = kMaxBencodeFileSize);

// Encoder. Each gives true and sets `out` to exactly EncodedSize() bytes.
bool EncodeInteger(const CAtomLong& value, Bytes& out);
bool EncodeInteger(const CAtomInt& value, Bytes& out);
bool EncodeString(const CAtomString& value, Bytes& out);
bool EncodeList(const CAtomList& value, Bytes& out);
bool EncodeDictionary(const CAtomDicti& value, Bytes& out);
// The canonical encoding of a value of any kind.
Bytes EncodeValue(const CAtom& value);
// Receives a canonical encoding piece by piece, in order.
using EncodedBytesConsumer = std::function<void(const std::uint8_t* data, std::size_t count)>;
// The same bytes as EncodeValue, handed over in pieces without building the whole buffer
// (the info hash of a large torrent is taken this way).
void EncodeValueTo(const CAtom& value, const EncodedBytesConsumer& consume);

// Number of characters of the signed decimal text of `value`: the sizes of encoded integers
// and string counts, which the decoder and the values must agree on.
std::int64_t DecimalLength(std::int64_t value);

}  // namespace miravue
