#include "gbk_to_utf8.h"

#include <unicode/ucnv.h>
#include <unicode/utypes.h>

#include <memory>

namespace miravue::player_service {

namespace {

// The Windows flavour of code page 936: it holds the euro sign at 0x80, as the program's
// Windows build does.
constexpr const char* kGbkConverterName = "windows-936-2000";

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

ConverterPtr OpenConverter(const char* name) {
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr converter(ucnv_open(name, &status));
    if (U_FAILURE(status)) {
        return nullptr;
    }
    return converter;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
    if (gbk.empty()) {
        return {};
    }
    ConverterPtr from = OpenConverter(kGbkConverterName);
    ConverterPtr to = OpenConverter("UTF-8");
    if (!from || !to) {
        return {};
    }
    // One GBK byte never yields more than one UTF-16 unit, and one unit at most 3 UTF-8 bytes.
    std::string utf8(gbk.size() * 3 + 4, '\0');
    char* target = utf8.data();
    const char* source = gbk.data();
    UErrorCode status = U_ZERO_ERROR;
    ucnv_convertEx(to.get(), from.get(), &target, utf8.data() + utf8.size(), &source,
                   gbk.data() + gbk.size(), nullptr, nullptr, nullptr, nullptr, true, true,
                   &status);
    if (U_FAILURE(status)) {
        return {};
    }
    utf8.resize(static_cast<size_t>(target - utf8.data()));
    return utf8;
}

}  // namespace miravue::player_service
