#pragma once
// The program percent-encodes the bytes of its GBK (code page 936) texts; the page shows UTF-8.

#include <string>
#include <string_view>

namespace miravue::player_service {

// Code page 936 bytes (Windows table) to UTF-8. Never fails: a byte sequence the table does not
// hold becomes U+FFFD, so whatever the user copied is still shown.
std::string GbkToUtf8(std::string_view gbk);

}  // namespace miravue::player_service
