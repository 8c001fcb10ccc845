// The code-page seam on ICU. ICU's "windows-936-2000" table is the one Windows uses for code
// page 936 (it maps U+20AC to 0x80, which plain GBK tables do not), so the same text gives the
// same bytes on both targets.

#include "platform/codepage.h"

#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/unorm2.h>
#include <unicode/utf16.h>

#include <cstddef>
#include <memory>

namespace miravue::platform {
namespace {

constexpr const char* kGbkConverter = "windows-936-2000";
constexpr const char* kUtf8Converter = "UTF-8";
constexpr char kGbkDefaultChar[] = "?";  // what Windows writes for what code page 936 lacks
constexpr UChar kReplacementChar = 0xFFFD;

struct ConverterClose {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterClose>;

// Undecodable input becomes U+FFFD, whatever a table's own substitution would be (some tables
// give U+001A, which would pass as a control character into the texts built from it).
void ToUnicodeReplacement(const void* /*context*/, UConverterToUnicodeArgs* args,
                          const char* /*codeUnits*/, int32_t /*length*/,
                          UConverterCallbackReason reason, UErrorCode* status) {
    if (reason > UCNV_IRREGULAR) {
        return;  // reset/close/clone notifications carry no input
    }
    *status = U_ZERO_ERROR;
    ucnv_cbToUWriteUChars(args, &kReplacementChar, 1, 0, status);
}

// Whatever code page 936 cannot hold becomes its default character, one per UTF-16 unit as
// Windows converts (a character outside the basic plane gives two). ICU's own substitution
// would silently drop default-ignorable characters such as a byte-order mark, where Windows
// writes the default character.
void FromUnicodeDefaultChar(const void* /*context*/, UConverterFromUnicodeArgs* args,
                            const UChar* /*codeUnits*/, int32_t length, UChar32 /*codePoint*/,
                            UConverterCallbackReason reason, UErrorCode* status) {
    if (reason > UCNV_IRREGULAR) {
        return;
    }
    *status = U_ZERO_ERROR;
    for (int32_t unit = 0; unit < length && U_SUCCESS(*status); ++unit) {
        ucnv_cbFromUWriteBytes(args, kGbkDefaultChar, 1, 0, status);
    }
}

// With `gbkDefaultChar` the encoder writes "?" for what the target cannot hold; without it the
// converter's own substitution stays (U+FFFD's bytes for UTF-8).
Converter Open(const char* name, bool gbkDefaultChar) {
    UErrorCode status = U_ZERO_ERROR;
    Converter converter(ucnv_open(name, &status));
    if (U_FAILURE(status)) {
        return nullptr;
    }
    ucnv_setToUCallBack(converter.get(), ToUnicodeReplacement, nullptr, nullptr, nullptr, &status);
    if (gbkDefaultChar) {
        ucnv_setFromUCallBack(converter.get(), FromUnicodeDefaultChar, nullptr, nullptr, nullptr,
                              &status);
    }
    return U_SUCCESS(status) ? std::move(converter) : nullptr;
}

// Runs one of ICU's streaming conversions over all of `in`, growing the output as needed; the
// streaming calls take pointers, so no 32-bit length limit applies. `step` is ucnv_toUnicode or
// ucnv_fromUnicode, whose shapes differ only in their character types.
template <typename Out, typename In, typename Step>
Out Convert(UConverter* converter, In in, std::size_t initialSize, Step step) {
    Out out;
    if (converter == nullptr || in.empty()) {
        return out;
    }
    out.resize(initialSize);
    auto source = in.data();
    const auto sourceEnd = in.data() + in.size();
    std::size_t written = 0;
    for (;;) {
        auto target = out.data() + written;
        UErrorCode status = U_ZERO_ERROR;
        step(converter, &target, out.data() + out.size(), &source, sourceEnd, nullptr, true,
             &status);
        written = static_cast<std::size_t>(target - out.data());
        if (status != U_BUFFER_OVERFLOW_ERROR) {
            break;
        }
        out.resize(out.size() * 2);
    }
    out.resize(written);
    return out;
}

std::u16string ToUnicode(UConverter* converter, std::string_view in) {
    // Every byte gives at most one unit in the tables used here.
    return Convert<std::u16string>(converter, in, in.size() + 16, ucnv_toUnicode);
}

std::string FromUnicode(UConverter* converter, std::u16string_view in) {
    return Convert<std::string>(converter, in, in.size() * 2 + 16, ucnv_fromUnicode);
}

// A base character followed by a non-spacing mark is folded into the precomposed character
// where Unicode has one, the way Windows' composite check does: one mark per base, so a second
// mark stays a character of its own (checked against the system converter under Wine). Nothing
// else is normalised: a precomposed character or a lone mark passes through untouched.
constexpr UChar32 kFirstMark = 0x0300;  // no non-spacing mark lies below the combining block

bool IsNonSpacingMark(UChar32 c) {
    return c >= kFirstMark && u_charType(c) == U_NON_SPACING_MARK;
}

bool HasNonSpacingMark(std::u16string_view in) {
    const auto length = static_cast<int64_t>(in.size());
    for (int64_t i = 0; i < length;) {
        UChar32 c = 0;
        U16_NEXT(in.data(), i, length, c);
        if (IsNonSpacingMark(c)) {
            return true;
        }
    }
    return false;
}

std::u16string ComposeMarks(std::u16string_view in) {
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* nfc = unorm2_getNFCInstance(&status);
    if (U_FAILURE(status)) {
        return std::u16string(in);
    }
    const auto length = static_cast<int64_t>(in.size());
    std::u16string out;
    out.reserve(in.size());
    int64_t i = 0;
    while (i < length) {
        UChar32 base = 0;
        U16_NEXT(in.data(), i, length, base);
        if (i < length) {
            int64_t next = i;
            UChar32 mark = 0;
            U16_NEXT(in.data(), next, length, mark);
            const UChar32 composed =
                IsNonSpacingMark(mark) ? unorm2_composePair(nfc, base, mark) : -1;
            if (composed >= 0) {
                base = composed;
                i = next;
            }
        }
        if (U_IS_BMP(base)) {
            out.push_back(static_cast<char16_t>(base));
        } else {
            out.push_back(static_cast<char16_t>(U16_LEAD(base)));
            out.push_back(static_cast<char16_t>(U16_TRAIL(base)));
        }
    }
    return out;
}

}  // namespace

std::u16string Utf8ToUtf16Units(std::string_view utf8) {
    const Converter converter = Open(kUtf8Converter, false);
    return ToUnicode(converter.get(), utf8);
}

std::string Utf16UnitsToGbk(std::u16string_view units) {
    const Converter converter = Open(kGbkConverter, true);
    if (converter != nullptr) {
        // Windows encodes with its best-fit table unless told not to (U+00B2 becomes "2");
        // ICU's fallback mappings for this table are the nearest equivalent.
        ucnv_setFallback(converter.get(), true);
    }
    // Most text holds no marks at all; it goes to the converter without a composed copy.
    if (!HasNonSpacingMark(units)) {
        return FromUnicode(converter.get(), units);
    }
    return FromUnicode(converter.get(), ComposeMarks(units));
}

std::string GbkToUtf8(std::string_view gbk) {
    const Converter gbkConverter = Open(kGbkConverter, true);
    const Converter utf8Converter = Open(kUtf8Converter, false);
    return FromUnicode(utf8Converter.get(), ToUnicode(gbkConverter.get(), gbk));
}

}  // namespace miravue::platform
