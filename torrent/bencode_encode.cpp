// The canonical bencode encoder: shortest integers, unsigned string counts, dictionary
// keys unique and in unsigned byte order. Output is appended to one buffer reserved for
// the value's EncodedSize, so a container costs no temporary copies of its elements.

#include <charconv>

#include "torrent/bencode.h"

namespace miravue {

namespace {

void AppendDecimal(Bytes& out, std::int64_t value) {
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.insert(out.end(), digits, result.ptr);
}

void AppendStringEncoding(Bytes& out, std::string_view bytes) {
    AppendDecimal(out, static_cast<std::int64_t>(bytes.size()));
    out.push_back(':');
    out.insert(out.end(), bytes.begin(), bytes.end());
}

void AppendEncoding(Bytes& out, const CAtom& value);

void AppendListEncoding(Bytes& out, const CAtomList& list) {
    out.push_back('l');
    for (const auto& element : list.Elements()) {
        AppendEncoding(out, *element);
    }
    out.push_back('e');
}

void AppendDictionaryEncoding(Bytes& out, const CAtomDicti& dictionary) {
    out.push_back('d');
    for (const auto& [key, value] : dictionary.Entries()) {
        AppendStringEncoding(out, key);
        AppendEncoding(out, *value);
    }
    out.push_back('e');
}

void AppendEncoding(Bytes& out, const CAtom& value) {
    if (value.IsLong()) {
        out.push_back('i');
        AppendDecimal(out, static_cast<const CAtomLong&>(value).Value());
        out.push_back('e');
    } else if (value.IsInt()) {
        out.push_back('i');
        AppendDecimal(out, static_cast<const CAtomInt&>(value).Value());
        out.push_back('e');
    } else if (value.IsString()) {
        AppendStringEncoding(out, static_cast<const CAtomString&>(value).View());
    } else if (value.IsList()) {
        AppendListEncoding(out, static_cast<const CAtomList&>(value));
    } else if (value.IsDicti()) {
        AppendDictionaryEncoding(out, static_cast<const CAtomDicti&>(value));
    }
}

bool EncodeInto(const CAtom& value, Bytes& out) {
    out.clear();
    const std::int64_t size = value.EncodedSize();
    if (size < 1) {
        return false;
    }
    out.reserve(static_cast<std::size_t>(size));
    AppendEncoding(out, value);
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

}  // namespace miravue
