#pragma once
// The optional record of every request, for tests and measurements.

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace miravue::player_service {

// Appends one entry per request to a file:
//   <seconds since the epoch, microseconds> <method> <target as sent> <version>
//   \t<header name>: <value>        (one line per request header)
// and flushes it, so a reader polling the file sees each request as soon as it is answered.
class RequestLog {
  public:
    using HeaderList = std::vector<std::pair<std::string, std::string>>;

    // An empty path gives a log that records nothing.
    explicit RequestLog(const std::string& path);

    bool is_open() const { return file_ != nullptr; }
    void Write(std::string_view method, std::string_view target, std::string_view version,
               const HeaderList& headers);

    // The entry exactly as Write puts it into the file, for a given time stamp.
    static std::string FormatEntry(double seconds, std::string_view method, std::string_view target,
                                   std::string_view version, const HeaderList& headers);

  private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, FileCloser> file_;
    std::mutex mutex_;
};

}  // namespace miravue::player_service
