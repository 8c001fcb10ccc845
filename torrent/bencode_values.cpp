// The bencode value classes: sizes, texts, copies and container operations.

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <string>
#include <utility>

#include "torrent/bencode.h"

namespace miravue {

std::int64_t DecimalLength(std::int64_t value) {
    std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::int64_t length = value < 0 ? 2 : 1;
    while (magnitude >= 10) {
        magnitude /= 10;
        ++length;
    }
    return length;
}

std::int64_t CAtomInt::TextLength() const {
    return DecimalLength(static_cast<std::int32_t>(static_cast<std::uint32_t>(value_)));
}

Text CAtomInt::ToText() const {
    return std::to_string(static_cast<std::int32_t>(static_cast<std::uint32_t>(value_)));
}

std::int64_t CAtomLong::TextLength() const {
    return DecimalLength(value_);
}

Text CAtomLong::ToText() const {
    return std::to_string(value_);
}

CAtomString::CAtomString(std::string_view bytes) {
    if (bytes.size() <= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        bytes_.assign(bytes);
    }
}

std::int64_t CAtomString::EncodedSize() const {
    return DecimalLength(Count()) + 1 + Count();
}

Text CAtomString::ToText() const {
    Text text = bytes_;
    for (char& c : text) {
        if (c == '\0') {
            c = ' ';
        }
    }
    return text;
}

bool CAtomString::CopyBytes(Bytes& bytes) const {
    bytes.assign(bytes_.begin(), bytes_.end());
    return !bytes_.empty();
}

void CAtomString::SetBytes(const std::uint8_t* bytes, std::int32_t count) {
    if (bytes == nullptr || count <= 0) {
        bytes_.clear();
        return;
    }
    bytes_.assign(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(count));
}

CAtomList::CAtomList(const CAtomList& other) : CAtom(other) {
    elements_.reserve(other.elements_.size());
    for (const auto& element : other.elements_) {
        elements_.push_back(element->Clone());
    }
}

CAtomList& CAtomList::operator=(const CAtomList& other) {
    if (this != &other) {
        CAtomList copy(other);
        elements_ = std::move(copy.elements_);
    }
    return *this;
}

std::int64_t CAtomList::EncodedSize() const {
    std::int64_t size = 2;
    for (const auto& element : elements_) {
        size += element->EncodedSize();
    }
    return size;
}

void CAtomList::Shuffle() {
    for (std::size_t i = 1; i < elements_.size(); ++i) {
        const std::size_t j = static_cast<std::size_t>(std::rand()) % (i + 1);
        std::swap(elements_[i], elements_[j]);
    }
}

void CAtomList::Append(std::unique_ptr<CAtom> value) {
    if (value) {
        // Most lists in a torrent are short paths: one allocation covers them.
        if (elements_.capacity() == 0) {
            elements_.reserve(4);
        }
        elements_.push_back(std::move(value));
    }
}

std::vector<const CAtom*> CAtomList::Items() const {
    std::vector<const CAtom*> items;
    items.reserve(elements_.size());
    for (const auto& element : elements_) {
        items.push_back(element.get());
    }
    return items;
}

std::int64_t CAtomDicti::EncodedSize() const {
    std::int64_t size = 2;
    for (const auto& [key, value] : entries_) {
        size += DecimalLength(static_cast<std::int64_t>(key.size())) + 1 +
                static_cast<std::int64_t>(key.size()) + value->EncodedSize();
    }
    return size;
}

void CAtomDicti::CopyFrom(const CAtomDicti& other) {
    if (this == &other) {
        return;
    }
    // Copy before clearing: `other` may be a value held inside this dictionary.
    EntryList copy;
    copy.reserve(other.entries_.size());
    for (const auto& [key, value] : other.entries_) {
        copy.emplace_back(key, value->Clone());
    }
    entries_ = std::move(copy);
}

CAtomDicti::EntryList::iterator CAtomDicti::LowerBound(std::string_view key) {
    return std::lower_bound(entries_.begin(), entries_.end(), key,
                            [](const Entry& entry, std::string_view sought) {
                                return BencodeKeyLess{}(entry.first, sought);
                            });
}

CAtomDicti::EntryList::const_iterator CAtomDicti::LowerBound(std::string_view key) const {
    return std::lower_bound(entries_.begin(), entries_.end(), key,
                            [](const Entry& entry, std::string_view sought) {
                                return BencodeKeyLess{}(entry.first, sought);
                            });
}

const CAtom* CAtomDicti::Find(std::string_view key) const {
    const auto found = LowerBound(key);
    return found == entries_.end() || found->first != key ? nullptr : found->second.get();
}

void CAtomDicti::Put(std::string_view key, std::unique_ptr<CAtom> value) {
    if (!value) {
        return;
    }
    // Keys built in order go to the back without a search.
    if (entries_.empty() || BencodeKeyLess{}(entries_.back().first, key)) {
        entries_.emplace_back(std::string(key), std::move(value));
        return;
    }
    const auto found = LowerBound(key);
    if (found != entries_.end() && found->first == key) {
        found->second = std::move(value);
    } else {
        entries_.emplace(found, std::string(key), std::move(value));
    }
}

std::unique_ptr<CAtom> CAtomDicti::Take(std::string_view key) {
    const auto found = LowerBound(key);
    if (found == entries_.end() || found->first != key) {
        return nullptr;
    }
    std::unique_ptr<CAtom> value = std::move(found->second);
    entries_.erase(found);
    return value;
}

void CAtomDicti::Assign(EntryList entries) {
    std::erase_if(entries, [](const Entry& entry) { return !entry.second; });
    const auto key_less = [](const Entry& a, const Entry& b) {
        return BencodeKeyLess{}(a.first, b.first);
    };
    // Decoded dictionaries nearly always arrive strictly in order: one pass checks that.
    const bool strictly_sorted =
        std::adjacent_find(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
            return !key_less(a, b);
        }) == entries.end();
    if (!strictly_sorted) {
        // Stable, so that equal keys keep their order and the last of each run is the one
        // a sequence of Puts would have left.
        std::stable_sort(entries.begin(), entries.end(), key_less);
        auto kept = entries.begin();
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            const auto next = std::next(it);
            if (next != entries.end() && next->first == it->first) {
                continue;
            }
            if (kept != it) {
                *kept = std::move(*it);
            }
            ++kept;
        }
        entries.erase(kept, entries.end());
    }
    entries_ = std::move(entries);
}

std::vector<std::pair<Text, const CAtom*>> CAtomDicti::Items() const {
    std::vector<std::pair<Text, const CAtom*>> items;
    items.reserve(entries_.size());
    for (const auto& [key, value] : entries_) {
        items.emplace_back(key, value.get());
    }
    return items;
}

}  // namespace miravue
