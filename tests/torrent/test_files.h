#pragma once
// Scratch files and external commands for the torrent tests.

#include <string>
#include <string_view>

namespace miravue::test {

// A fresh directory under the system's temporary folder, removed with everything in it
// when the object goes.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return path_; }
    // Writes `bytes` to the file `name` inside the directory (creating parent folders)
    // and gives its full path.
    std::string Write(std::string_view name, std::string_view bytes) const;

  private:
    std::string path_;
};

struct CommandResult {
    int status = -1;  // exit status, -1 when it did not exit normally
    std::string out;  // standard output
};

// Runs a shell command line, capturing its standard output.
CommandResult RunCommand(const std::string& command);

// Quotes a text for the shell.
std::string ShellQuote(std::string_view text);

}  // namespace miravue::test
