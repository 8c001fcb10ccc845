// The canonical bencode encoder: shortest integers, unsigned string counts, dictionary
// keys unique and in unsigned byte order. One walk writes a value either into a buffer
// reserved for its EncodedSize or, in chunks, to a consumer such as a hash, so a large
// value needs no temporary copy of each element nor of the whole encoding.

#include <charconv>
#include <cstring>

#include "torrent/bencode.h"

namespace miravue {

namespace {

// Appends to a byte buffer.
class BufferOut {
  public:
    explicit BufferOut(Bytes& out) : out_(out) {}
    void Put(std::uint8_t byte) { out_.push_back(byte); }
    void Put(const void* data, std::size_t count) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        out_.insert(out_.end(), bytes, bytes + count);
    }

  private:
    Bytes& out_;
};

// Collects small pieces in a block and hands the consumer whole blocks; long strings go
// to it directly.
class StreamOut {
  public:
    explicit StreamOut(const EncodedBytesConsumer& consume) : consume_(consume) {}
    StreamOut(const StreamOut&) = delete;
    StreamOut& operator=(const StreamOut&) = delete;
    ~StreamOut() = default;

    void Put(std::uint8_t byte) {
        if (used_ == sizeof block_) {
            Flush();
        }
        block_[used_++] = byte;
    }
    void Put(const void* data, std::size_t count) {
        if (count >= kDirect) {
            Flush();
            consume_(static_cast<const std::uint8_t*>(data), count);
            return;
        }
        if (used_ + count > sizeof block_) {
            Flush();
        }
        std::memcpy(block_ + used_, data, count);
        used_ += count;
    }
    void Flush() {
        if (used_ > 0) {
            consume_(block_, used_);
            used_ = 0;
        }
    }

  private:
    static constexpr std::size_t kDirect = 4096;
    const EncodedBytesConsumer& consume_;
    std::uint8_t block_[16384];
    std::size_t used_ = 0;
};

template <typename Out>
void PutDecimal(Out& out, std::int64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.Put(digits, static_cast<std::size_t>(result.ptr - digits));
}

template <typename Out>
void PutString(Out& out, std::string_view bytes) {
    PutDecimal(out, static_cast<std::int64_t>(bytes.size()));
    out.Put(std::uint8_t{':'});
    out.Put(bytes.data(), bytes.size());
}

template <typename Out>
void PutValue(Out& out, const CAtom& value) {
    if (value.IsLong() || value.IsInt()) {
        out.Put(std::uint8_t{'i'});
        PutDecimal(out, value.IsLong() ? static_cast<const CAtomLong&>(value).Value()
                                       : static_cast<const CAtomInt&>(value).Value());
        out.Put(std::uint8_t{'e'});
    } else if (value.IsString()) {
        PutString(out, static_cast<const CAtomString&>(value).View());
    } else if (value.IsList()) {
        out.Put(std::uint8_t{'l'});
        for (const auto& element : static_cast<const CAtomList&>(value).Elements()) {
            PutValue(out, *element);
        }
        out.Put(std::uint8_t{'e'});
    } else if (value.IsDicti()) {
        out.Put(std::uint8_t{'d'});
        for (const auto& [key, element] : static_cast<const CAtomDicti&>(value).Entries()) {
            PutString(out, key);
            PutValue(out, *element);
        }
        out.Put(std::uint8_t{'e'});
    }
}

bool EncodeInto(const CAtom& value, Bytes& out) {
    out.clear();
    const std::int64_t size = value.EncodedSize();
    if (size < 1) {
        return false;
    }
    out.reserve(static_cast<std::size_t>(size));
    BufferOut writer(out);
    PutValue(writer, value);
    return true;
}

}  // namespace

bool EncodeInteger(const CAtomLong& value, Bytes& out) {
    return EncodeInto(value, out);
}

bool EncodeInteger(const CAtomInt& value, Bytes& out) {
    return EncodeInto(value, out);
}

bool EncodeString(const CAtomString& value, Bytes& out) {
    return EncodeInto(value, out);
}

bool EncodeList(const CAtomList& value, Bytes& out) {
    return EncodeInto(value, out);
}

bool EncodeDictionary(const CAtomDicti& value, Bytes& out) {
    return EncodeInto(value, out);
}

Bytes EncodeValue(const CAtom& value) {
    Bytes out;
    EncodeInto(value, out);
    return out;
}

void EncodeValueTo(const CAtom& value, const EncodedBytesConsumer& consume) {
    StreamOut writer(consume);
    PutValue(writer, value);
    writer.Flush();
}

}  // namespace miravue
