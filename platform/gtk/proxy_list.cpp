#include "platform/gtk/proxy_list.h"

#include <vector>

namespace miravue::platform {
namespace {

std::vector<std::string_view> ListEntries(std::string_view list) {
    std::vector<std::string_view> entries;
    std::size_t pos = 0;
    while (pos < list.size()) {
        const std::size_t end = list.find_first_of(" ;", pos);
        const std::size_t stop = end == std::string_view::npos ? list.size() : end;
        if (stop > pos) {
            entries.push_back(list.substr(pos, stop - pos));
        }
        pos = stop + 1;
    }
    return entries;
}

bool SameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string ProxyForScheme(std::string_view proxyList, std::string_view scheme) {
    std::string_view any;
    bool haveAny = false;
    for (std::string_view entry : ListEntries(proxyList)) {
        const std::size_t eq = entry.find('=');
        if (eq == std::string_view::npos) {
            if (!haveAny) {
                any = entry;
                haveAny = true;
            }
            continue;
        }
        if (SameLetters(entry.substr(0, eq), scheme)) {
            return std::string(entry.substr(eq + 1));
        }
    }
    return std::string(any);
}

std::string CurlNoProxyList(std::string_view bypassList) {
    std::string out;
    for (std::string_view entry : ListEntries(bypassList)) {
        if (SameLetters(entry, "<local>")) {
            continue;
        }
        if (!out.empty()) {
            out += ',';
        }
        out += entry;
    }
    return out;
}

}  // namespace miravue::platform
