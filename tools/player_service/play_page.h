#pragma once
// The player page: what the program's browser shows for one address.

#include <string>
#include <string_view>

namespace miravue::player_service {

enum class AddressKind {
    kEmpty,   // nothing was on the clipboard
    kMedia,   // an http or https URL, played in a <video>
    kMagnet,  // a magnet link, shown with its info hash
    kText,    // anything else, shown as it stands
};

// The address with leading and trailing ASCII white space removed (clipboard texts often end
// with a line break).
std::string_view TrimAddress(std::string_view address);

AddressKind ClassifyAddress(std::string_view utf8_address);

// The BitTorrent info hash of a magnet link's "xt=urn:btih:" parameter: 40 hex digits (given
// lower-case) or 32 base32 letters (given upper-case). Empty when the link has none or the
// value is neither.
std::string MagnetInfoHash(std::string_view magnet);

// The complete HTML page for an address already converted to UTF-8. Every part of the address
// is escaped; only http and https URLs ever reach an attribute.
std::string RenderPlayPage(std::string_view utf8_address);

}  // namespace miravue::player_service
