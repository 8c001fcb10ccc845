#include "html_escape.h"

namespace miravue::player_service {

std::string HtmlEscape(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() + utf8.size() / 8);
    for (const char c : utf8) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            case '\t':
            case '\n':
                out += c;
                break;
            default:
                if ((static_cast<unsigned char>(c) < 0x20) || c == '\x7f') {
                    out += "&#xFFFD;";
                } else {
                    out += c;
                }
        }
    }
    return out;
}

}  // namespace miravue::player_service
