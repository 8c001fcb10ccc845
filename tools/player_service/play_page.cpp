#include "play_page.h"

#include <algorithm>
#include <cctype>

#include "html_escape.h"

namespace miravue::player_service {

namespace {

bool IsAsciiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (AsciiLower(text[i]) != prefix[i]) {
            return false;
        }
    }
    return true;
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsBase32Digit(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '2' && c <= '7');
}

// Kept in the page itself: the page must render with no second request, in any browser the
// program may host (the Windows one included).
constexpr std::string_view kStyle = R"css(
html, body { margin: 0; padding: 0; height: 100%; }
body { background: #1b2230; color: #e8ecf3; font: 15px/1.5 "Segoe UI", "Noto Sans", "DejaVu Sans", sans-serif; }
header { padding: 10px 18px; background: #141a25; border-bottom: 1px solid #2c3650; font-size: 16px; letter-spacing: 0.5px; }
header .logo { display: inline-block; width: 22px; height: 22px; margin-right: 8px; border-radius: 5px; background: #3d7cf5; color: #fff; text-align: center; line-height: 22px; font-size: 12px; vertical-align: middle; }
main { padding: 18px 18px 48px; }
footer { position: fixed; left: 0; right: 0; bottom: 0; padding: 6px 18px; background: #141a25; border-top: 1px solid #2c3650; color: #8c9ab3; font-size: 12px; }
video { display: block; width: 100%; height: calc(100vh - 175px); min-height: 120px; background: #000; border-radius: 6px; }
.card { max-width: 760px; margin: 24px auto; padding: 18px 22px; background: #242d3f; border: 1px solid #34405a; border-radius: 8px; }
h1 { margin: 0 0 12px; font-size: 19px; font-weight: 600; }
.label { margin: 14px 0 2px; color: #8c9ab3; font-size: 12px; text-transform: uppercase; letter-spacing: 1px; }
.address { margin: 0; word-break: break-all; white-space: pre-wrap; font-family: "DejaVu Sans Mono", Consolas, monospace; font-size: 14px; }
.hash { display: inline-block; padding: 4px 8px; background: #141a25; border-radius: 4px; color: #7fd4a0; font-family: "DejaVu Sans Mono", Consolas, monospace; font-size: 16px; letter-spacing: 0.5px; }
.note { margin: 14px 0 0; color: #8c9ab3; font-size: 13px; }
)css";

void AppendLabelled(std::string& html, std::string_view label, std::string_view escaped_value,
                    std::string_view value_class) {
    html += "<p class=\"label\">";
    html += label;
    html += "</p><p class=\"";
    html += value_class;
    html += "\">";
    html += escaped_value;
    html += "</p>\n";
}

void AppendMedia(std::string& html, std::string_view url) {
    const std::string escaped = HtmlEscape(url);
    html += "<video id=\"player\" controls autoplay src=\"" + escaped +
            "\">This browser cannot play video.</video>\n";
    AppendLabelled(html, "Playing", escaped, "address");
}

void AppendMagnet(std::string& html, std::string_view link) {
    const std::string hash = MagnetInfoHash(link);
    html += "<section class=\"card\"><h1>Magnet link</h1>\n";
    html += "<p class=\"label\">Info hash</p><p>";
    if (hash.empty()) {
        html += "<span class=\"hash missing\">none: the torrent could not be read</span>";
    } else {
        html += "<code class=\"hash\" id=\"info-hash\">" + HtmlEscape(hash) + "</code>";
    }
    html += "</p>\n";
    AppendLabelled(html, "Link", HtmlEscape(link), "address");
    html += "<p class=\"note\">Open the link in a BitTorrent client to fetch the files.</p>";
    html += "</section>\n";
}

void AppendText(std::string& html, std::string_view text) {
    html += "<section class=\"card\"><h1>Address</h1>\n";
    html += "<p class=\"address\">" + HtmlEscape(text) + "</p>\n";
    html += "<p class=\"note\">Not an http or https media URL, so it is shown as text.</p>";
    html += "</section>\n";
}

void AppendEmpty(std::string& html) {
    html += "<section class=\"card\"><h1>Nothing to play</h1>\n";
    html +=
        "<p class=\"note\">The clipboard held no text. Copy a video link and press F9, "
        "or drop a .torrent file on this window.</p></section>\n";
}

}  // namespace

std::string_view TrimAddress(std::string_view address) {
    while (!address.empty() && IsAsciiSpace(address.front())) {
        address.remove_prefix(1);
    }
    while (!address.empty() && IsAsciiSpace(address.back())) {
        address.remove_suffix(1);
    }
    return address;
}

AddressKind ClassifyAddress(std::string_view utf8_address) {
    const std::string_view address = TrimAddress(utf8_address);
    if (address.empty()) {
        return AddressKind::kEmpty;
    }
    if (StartsWithNoCase(address, "http://") || StartsWithNoCase(address, "https://")) {
        return AddressKind::kMedia;
    }
    if (StartsWithNoCase(address, "magnet:")) {
        return AddressKind::kMagnet;
    }
    return AddressKind::kText;
}

std::string MagnetInfoHash(std::string_view magnet) {
    const size_t question = magnet.find('?');
    if (question == std::string_view::npos) {
        return {};
    }
    std::string_view params = magnet.substr(question + 1);
    constexpr std::string_view kTopic = "xt=urn:btih:";
    while (!params.empty()) {
        const size_t amp = params.find('&');
        const std::string_view item = params.substr(0, amp);
        if (StartsWithNoCase(item, kTopic)) {
            const std::string_view value = item.substr(kTopic.size());
            std::string hash(value);
            if (hash.size() == 40 && std::all_of(hash.begin(), hash.end(), IsHexDigit)) {
                std::transform(hash.begin(), hash.end(), hash.begin(), AsciiLower);
                return hash;
            }
            if (hash.size() == 32 && std::all_of(hash.begin(), hash.end(), IsBase32Digit)) {
                std::transform(hash.begin(), hash.end(), hash.begin(),
                               [](char c) { return static_cast<char>(std::toupper(c)); });
                return hash;
            }
            return {};
        }
        if (amp == std::string_view::npos) {
            break;
        }
        params.remove_prefix(amp + 1);
    }
    return {};
}

std::string RenderPlayPage(std::string_view utf8_address) {
    const std::string_view address = TrimAddress(utf8_address);
    std::string html;
    html.reserve(4096 + address.size() * 2);
    html += "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n";
    html += "<meta http-equiv=\"X-UA-Compatible\" content=\"IE=edge\">\n";
    html += "<title>Miravue player</title>\n<style>";
    html += kStyle;
    html += "</style></head>\n<body>\n";
    html += "<header><span class=\"logo\">&#9654;</span>Miravue player</header>\n<main>\n";
    switch (ClassifyAddress(address)) {
        case AddressKind::kEmpty:
            AppendEmpty(html);
            break;
        case AddressKind::kMedia:
            AppendMedia(html, address);
            break;
        case AddressKind::kMagnet:
            AppendMagnet(html, address);
            break;
        case AddressKind::kText:
            AppendText(html, address);
            break;
    }
    html += "</main>\n<footer>Miravue reference player service</footer>\n</body></html>\n";
    return html;
}

}  // namespace miravue::player_service
