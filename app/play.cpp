#include "app/play.h"

#include "app/key_endpoint.h"
#include "platform/browser.h"
#include "platform/clipboard.h"
#include "platform/ui_loop.h"
#include "web/http_request.h"
#include "web/url_encode.h"

namespace miravue {

void PlayAddress(const Text& address) {
    const Text prefix = HttpRequest(kKeyEndpoint);
    // The prefix is the server's business: it is used exactly as it came, line breaks too.
    const Text target = prefix + UrlEncode(address);
    platform::Navigate(target);
}

void PlayClipboard(std::uintptr_t /*unused*/) {
    PlayAddress(platform::ClipboardText());
}

void OnHotkey(std::int32_t /*modifier*/, std::int32_t vkCode, std::int32_t /*unused*/) {
    if (vkCode != kHotkeyVkCode) {
        return;
    }
    if (!platform::PostToUiLoop(PlayClipboard, 0)) {
        // Better late than lost: without a queue the press is played where it arrived.
        PlayClipboard(0);
    }
}

}  // namespace miravue
