// The permissive bencode decoder and whole-file reading.
//
// Limits, stated up front: nesting deeper than kMaxBencodeNesting, a string whose count
// does not fit a signed 32-bit number or runs past the end of the data, and files larger
// than kMaxBencodeFileSize all give none. Every byte read is checked against the size.
// Decoding is linear in the data for each nesting level: digit runs are scanned once and
// the "is there an e further on" question is answered from the position of the last "e".

#include <algorithm>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "platform/file_path.h"
#include "torrent/bencode.h"

namespace miravue {

namespace {

constexpr std::uint64_t kNone = std::numeric_limits<std::uint64_t>::max();
constexpr std::int64_t kMaxStringCount = std::numeric_limits<std::int32_t>::max();
// A count with more significant digits than this is certainly beyond kMaxStringCount.
constexpr std::uint64_t kMaxCountDigits = 10;

bool IsDigit(std::uint8_t c) {
    return c >= '0' && c <= '9';
}

// The white space that formatted decimal input skips in the "C" locale.
bool IsSpace(std::uint8_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A decoded value together with its EncodedSize, which the decoder needs after every
// element; computed bottom-up here instead of walking each subtree again.
struct Decoded {
    std::unique_ptr<CAtom> atom;
    std::int64_t encoded_size = 0;
};

// A decoded dictionary entry waiting for the rest of its dictionary.
struct PendingEntry {
    std::string key;
    std::unique_ptr<CAtom> value;
    std::int64_t encoded_size = 0;  // of the key and the value together
};

// Sorts by key and keeps, of equal keys, the one decoded last: what putting each entry in
// turn would leave, in time n log n even for a dictionary decoded in reverse order.
void KeepLastOfEachKey(std::vector<PendingEntry>& entries) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const PendingEntry& a, const PendingEntry& b) {
                         return BencodeKeyLess{}(a.key, b.key);
                     });
    std::size_t kept = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i + 1 < entries.size() && entries[i + 1].key == entries[i].key) {
            continue;
        }
        if (kept != i) {
            entries[kept] = std::move(entries[i]);
        }
        ++kept;
    }
    entries.resize(kept);
}

class Decoder {
  public:
    Decoder(const std::uint8_t* data, std::size_t size)
        : data_(data), size_(data == nullptr ? 0 : size) {}

    Decoded Value(std::uint64_t p, int depth) {
        if (p >= size_) {
            return {};
        }
        const std::uint8_t c = data_[p];
        if (c == 'i') {
            return Integer(p);
        }
        if (IsDigit(c)) {
            return String(p);
        }
        if (c == 'l') {
            return List(p, depth);
        }
        if (c == 'd') {
            return Dictionary(p, depth);
        }
        return {};
    }

    Decoded Integer(std::uint64_t p) {
        if (p >= size_ || !HasEAfter(p)) {
            return {};
        }
        // Formatted decimal input over the text after the "i": white space, one sign,
        // digits up to the first non-digit. The "e" found above stops every loop before
        // the end of the data.
        std::uint64_t q = p + 1;
        while (q < size_ && IsSpace(data_[q])) {
            ++q;
        }
        bool negative = false;
        if (q < size_ && (data_[q] == '+' || data_[q] == '-')) {
            negative = data_[q] == '-';
            ++q;
        }
        // Text beyond the 64-bit range saturates, as strtoll does; text with no digits at
        // all ("ie", "i-e", "ixe") is 0, so its encoded size is that of "i0e".
        constexpr std::uint64_t kMaxMagnitude = std::numeric_limits<std::int64_t>::max();
        const std::uint64_t limit = negative ? kMaxMagnitude + 1 : kMaxMagnitude;
        std::uint64_t magnitude = 0;
        for (; q < size_ && IsDigit(data_[q]); ++q) {
            const std::uint64_t digit = data_[q] - '0';
            magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
        }
        std::int64_t value = 0;
        if (negative) {
            value = magnitude == kMaxMagnitude + 1 ? std::numeric_limits<std::int64_t>::min()
                                                   : -static_cast<std::int64_t>(magnitude);
        } else {
            value = static_cast<std::int64_t>(magnitude);
        }
        return {std::make_unique<CAtomLong>(value), DecimalLength(value) + 2};
    }

    Decoded String(std::uint64_t p) {
        std::string_view bytes;
        const std::int64_t encoded_size = StringBytes(p, bytes);
        if (encoded_size == 0) {
            return {};
        }
        return {std::make_unique<CAtomString>(bytes), encoded_size};
    }

    // The bytes of the string at p, and its EncodedSize; 0 when no string stands there.
    std::int64_t StringBytes(std::uint64_t p, std::string_view& bytes) {
        if (p >= size_) {
            return 0;
        }
        const std::uint64_t colon = DigitRunEnd(p);
        // Every byte before the first ":" must be a digit: the run must end at a colon.
        if (colon >= size_ || colon == p || data_[colon] != ':') {
            return 0;
        }
        if (colon - p > kMaxCountDigits && last_significant_ != kNone && last_significant_ >= p) {
            return 0;
        }
        std::uint64_t count = 0;
        for (std::uint64_t q = colon - p > kMaxCountDigits ? colon - kMaxCountDigits : p; q < colon;
             ++q) {
            count = count * 10 + (data_[q] - '0');
        }
        if (count > static_cast<std::uint64_t>(kMaxStringCount) || count > size_ - colon - 1) {
            return 0;
        }
        bytes = std::string_view(reinterpret_cast<const char*>(data_ + colon + 1),
                                 static_cast<std::size_t>(count));
        const auto n = static_cast<std::int64_t>(count);
        return DecimalLength(n) + 1 + n;
    }

    Decoded List(std::uint64_t p, int depth) {
        if (p >= size_ || depth >= kMaxBencodeNesting) {
            return {};
        }
        auto list = std::make_unique<CAtomList>();
        std::int64_t encoded_size = 2;
        std::uint64_t q = p + 1;
        while (q < size_ && data_[q] != 'e') {
            Decoded element = Value(q, depth + 1);
            if (!element.atom) {
                return {};
            }
            q += static_cast<std::uint64_t>(element.encoded_size);
            encoded_size += element.encoded_size;
            list->Append(std::move(element.atom));
        }
        return {std::move(list), encoded_size};
    }

    Decoded Dictionary(std::uint64_t p, int depth) {
        if (p >= size_ || depth >= kMaxBencodeNesting) {
            return {};
        }
        // The entries gather in a buffer kept per depth, so that each dictionary gets one
        // block of exactly its size; the buffer is lent out while this level decodes.
        if (scratch_.size() <= static_cast<std::size_t>(depth)) {
            scratch_.resize(static_cast<std::size_t>(depth) + 1);
        }
        std::vector<PendingEntry> pending = std::move(scratch_[static_cast<std::size_t>(depth)]);
        pending.clear();
        bool in_order = true;
        std::uint64_t q = p + 1;
        bool complete = true;
        while (q < size_ && data_[q] != 'e') {
            // Only a byte string can be a key; nothing else is worth decoding here.
            if (!IsDigit(data_[q])) {
                complete = false;
                break;
            }
            std::string_view key_bytes;
            const std::int64_t key_size = StringBytes(q, key_bytes);
            if (key_size == 0) {
                complete = false;
                break;
            }
            q += static_cast<std::uint64_t>(key_size);
            if (q >= size_) {
                break;  // a key at the very end of the data, without a value, is dropped
            }
            Decoded value = Value(q, depth + 1);
            if (!value.atom) {
                complete = false;
                break;
            }
            q += static_cast<std::uint64_t>(value.encoded_size);
            // The key as its ToText gives it: each NUL byte becomes a space.
            std::string key(key_bytes);
            std::replace(key.begin(), key.end(), '\0', ' ');
            if (in_order && !pending.empty() && !BencodeKeyLess{}(pending.back().key, key)) {
                in_order = false;
            }
            pending.push_back(
                {std::move(key), std::move(value.atom), key_size + value.encoded_size});
        }
        Decoded result;
        if (complete) {
            if (!in_order) {
                KeepLastOfEachKey(pending);
            }
            CAtomDicti::EntryList entries;
            entries.reserve(pending.size());
            std::int64_t encoded_size = 2;
            for (PendingEntry& entry : pending) {
                encoded_size += entry.encoded_size;
                entries.emplace_back(std::move(entry.key), std::move(entry.value));
            }
            auto dictionary = std::make_unique<CAtomDicti>();
            dictionary->Assign(std::move(entries));
            result = {std::move(dictionary), encoded_size};
        }
        pending.clear();
        scratch_[static_cast<std::size_t>(depth)] = std::move(pending);
        return result;
    }

  private:
    bool HasEAfter(std::uint64_t p) {
        if (!last_e_known_) {
            last_e_known_ = true;
            for (std::size_t i = size_; i-- > 0;) {
                if (data_[i] == 'e') {
                    last_e_ = i;
                    break;
                }
            }
        }
        return last_e_ != kNone && last_e_ > p;
    }

    // The first non-digit at or after p (or size_). Positions inside the run scanned last
    // reuse its end, so a long run of leading zeros is not scanned again for every element
    // that the position shift lands in it.
    std::uint64_t DigitRunEnd(std::uint64_t p) {
        if (p >= run_start_ && p < run_end_) {
            return run_end_;
        }
        std::uint64_t end = p;
        while (end < size_ && IsDigit(data_[end])) {
            ++end;
        }
        run_start_ = p;
        run_end_ = end;
        // The last non-zero digit before the final kMaxCountDigits digits, if any: a count
        // starting at or before it has too many significant digits.
        last_significant_ = kNone;
        if (end - p > kMaxCountDigits) {
            for (std::uint64_t q = end - kMaxCountDigits; q-- > p;) {
                if (data_[q] != '0') {
                    last_significant_ = q;
                    break;
                }
            }
        }
        return end;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    bool last_e_known_ = false;
    std::uint64_t last_e_ = kNone;
    std::uint64_t run_start_ = 1;
    std::uint64_t run_end_ = 0;
    std::uint64_t last_significant_ = kNone;
    std::vector<std::vector<PendingEntry>> scratch_;
};

}  // namespace

std::unique_ptr<CAtom> DecodeValue(const std::uint8_t* data, std::size_t size,
                                   std::size_t position) {
    return Decoder(data, size).Value(position, 0).atom;
}

std::unique_ptr<CAtom> DecodeInteger(const std::uint8_t* data, std::size_t size,
                                     std::size_t position) {
    return Decoder(data, size).Integer(position).atom;
}

std::unique_ptr<CAtom> DecodeString(const std::uint8_t* data, std::size_t size,
                                    std::size_t position) {
    return Decoder(data, size).String(position).atom;
}

std::unique_ptr<CAtom> DecodeList(const std::uint8_t* data, std::size_t size,
                                  std::size_t position) {
    return Decoder(data, size).List(position, 0).atom;
}

std::unique_ptr<CAtom> DecodeDictionary(const std::uint8_t* data, std::size_t size,
                                        std::size_t position) {
    return Decoder(data, size).Dictionary(position, 0).atom;
}

std::unique_ptr<CAtom> DecodeValue(std::string_view data, std::size_t position) {
    return DecodeValue(reinterpret_cast<const std::uint8_t*>(data.data()), data.size(), position);
}

namespace {

// Opens `path` and reads it whole into the block `allocate(length)` gives; false when it
// cannot be opened or read completely, or when it is larger than `max_size` bytes.
template <typename Allocate>
bool ReadFileInto(const Text& path, std::uint64_t max_size, Allocate&& allocate) {
    // A path is a C string for the file system: a NUL inside would open another file.
    if (path.empty() || path.find('\0') != Text::npos) {
        return false;
    }
    std::ifstream file(platform::FileSystemPath(path), std::ios::binary);
    if (!file) {
        return false;
    }
    file.seekg(0, std::ios::end);
    const std::streamoff length = file.tellg();
    if (!file || length < 0 || static_cast<std::uint64_t>(length) > max_size) {
        return false;
    }
    file.seekg(0, std::ios::beg);
    std::uint8_t* destination = allocate(static_cast<std::size_t>(length));
    if (length > 0) {
        file.read(reinterpret_cast<char*>(destination), length);
        // A short read (a directory, a file cut while reading, an I/O error) is a failure,
        // not a buffer of zeros.
        if (file.gcount() != length) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool ReadWholeFile(const Text& path, Bytes& contents, std::uint64_t max_size) {
    contents.clear();
    const bool read = ReadFileInto(path, max_size, [&contents](std::size_t length) {
        contents.resize(length);
        return contents.data();
    });
    if (!read) {
        contents.clear();
    }
    return read;
}

std::unique_ptr<CAtom> DecodeFile(const Text& path) {
    // The bytes are only read into and decoded from, so the block is not zeroed first.
    std::unique_ptr<std::uint8_t[]> contents;
    std::size_t size = 0;
    const bool read = ReadFileInto(path, kMaxBencodeFileSize, [&](std::size_t length) {
        contents = std::make_unique_for_overwrite<std::uint8_t[]>(length);
        size = length;
        return contents.get();
    });
    if (!read || size == 0) {
        return nullptr;
    }
    return DecodeValue(contents.get(), size, 0);
}

}  // namespace miravue
