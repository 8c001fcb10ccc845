#include "request_log.h"

#include <chrono>
#include <cstdio>

namespace miravue::player_service {

namespace {

// A request line or header value carries no line break on the wire; should one arrive anyway
// it must not forge a second log entry.
std::string OneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return line;
}

}  // namespace

RequestLog::RequestLog(const std::string& path) {
    if (!path.empty()) {
        file_.reset(std::fopen(path.c_str(), "a"));
    }
}

std::string RequestLog::FormatEntry(double seconds, std::string_view method,
                                    std::string_view target, std::string_view version,
                                    const HeaderList& headers) {
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, "%.6f", seconds);
    std::string entry = stamp;
    entry += ' ' + OneLine(method) + ' ' + OneLine(target) + ' ' + OneLine(version) + '\n';
    for (const auto& [name, value] : headers) {
        entry += '\t' + OneLine(name) + ": " + OneLine(value) + '\n';
    }
    return entry;
}

void RequestLog::Write(std::string_view method, std::string_view target, std::string_view version,
                       const HeaderList& headers) {
    if (!file_) {
        return;
    }
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const double seconds = std::chrono::duration<double>(now).count();
    const std::string entry = FormatEntry(seconds, method, target, version, headers);
    std::lock_guard lock(mutex_);
    std::fwrite(entry.data(), 1, entry.size(), file_.get());
    std::fflush(file_.get());
}

}  // namespace miravue::player_service
