#pragma once
// Tracker addresses as the torrent reader lists them: host and port taken from an
// "http://" URL.

#include <cstdint>

#include "web/text.h"

namespace miravue {

// Leaves an empty url, "\r\n", "\r" and "\n" alone; otherwise puts "http://" in front
// when it occurs nowhere in the url, then appends "/" when the url does not end in one.
void NormalizeTrackerUrl(Text& url);

// Splits the url at its first "http://". With a ":" after that, the host ends there, the
// port is the leading number of the text up to the next "/" (0 without digits) and a "/"
// must follow; without one the host runs to the first "/" or the end and the port is 80.
bool SplitTrackerUrl(const Text& url, Text& host, std::int32_t& port, Text& path);

}  // namespace miravue
