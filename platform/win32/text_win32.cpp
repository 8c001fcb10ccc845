#include "platform/win32/text_win32.h"

#include <windows.h>

#include <climits>

namespace miravue::platform::win32 {

namespace {

std::wstring Widen(UINT codePage, std::string_view bytes) {
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX))
        return {};
    const int count = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(codePage, 0, bytes.data(), count, nullptr, 0);
    if (needed <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    const int written = MultiByteToWideChar(codePage, 0, bytes.data(), count, wide.data(), needed);
    wide.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return wide;
}

}  // namespace

std::wstring WideFromUtf8(std::string_view utf8) {
    return Widen(CP_UTF8, utf8);
}

std::wstring WideFromAnsi(std::string_view ansi) {
    return Widen(CP_ACP, ansi);
}

}  // namespace miravue::platform::win32
