// miravue-player-service: the reference key endpoint and player page that Miravue plays through.

#include <signal.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>

#include "player_service.h"

namespace {

using miravue::player_service::kDefaultHost;
using miravue::player_service::kDefaultPort;
using miravue::player_service::PlayerService;

constexpr const char* kUsage =
    "usage: miravue-player-service [--port N] [--host ADDRESS] [--log FILE]\n"
    "  --port N        port to listen on (default 17380; 0 picks a free one)\n"
    "  --host ADDRESS  address to listen on (default 127.0.0.1)\n"
    "  --log FILE      append every request line and its headers to FILE\n";

struct Options {
    int port = kDefaultPort;
    std::string host = kDefaultHost;
    std::string log_path;
};

bool ParsePort(std::string_view text, int& port) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > 65535) {
        return false;
    }
    port = value;
    return true;
}

// Returns 0 to go on, or the exit code to end with.
int ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return -1;
        }
        if (arg != "--port" && arg != "--host" && arg != "--log") {
            std::fprintf(stderr, "miravue-player-service: unknown option %s\n%s", argv[i], kUsage);
            return 2;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "miravue-player-service: %s needs a value\n", argv[i]);
            return 2;
        }
        const std::string_view value = argv[++i];
        if (arg == "--port") {
            if (!ParsePort(value, options.port)) {
                std::fprintf(stderr, "miravue-player-service: bad port \"%s\" (0..65535)\n",
                             argv[i]);
                return 2;
            }
        } else if (arg == "--host") {
            options.host = value;
        } else {
            options.log_path = value;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (const int code = ParseOptions(argc, argv, options); code != 0) {
        return code < 0 ? 0 : code;
    }

    // Blocked before any thread starts, so that only the waiter below ever takes them and the
    // server stops cleanly instead of dying in the middle of an answer.
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

    PlayerService service(options.log_path);
    if (!service.log_ok()) {
        std::fprintf(stderr, "miravue-player-service: cannot open log file %s: %s\n",
                     options.log_path.c_str(), std::strerror(errno));
        return 1;
    }
    if (options.port == 0) {
        if (service.BindAnyPort(options.host) < 0) {
            std::fprintf(stderr, "miravue-player-service: cannot listen on %s\n",
                         options.host.c_str());
            return 1;
        }
    } else {
        std::string error;
        if (!service.Bind(options.host, options.port, error)) {
            std::fprintf(stderr, "miravue-player-service: %s\n", error.c_str());
            return 1;
        }
    }
    std::printf("miravue-player-service: listening on http://%s:%d/ (key endpoint /key)\n",
                options.host.c_str(), service.port());
    std::fflush(stdout);

    std::thread([&service, stop_signals] {
        int signal_number = 0;
        sigwait(&stop_signals, &signal_number);
        service.Stop();
    }).detach();

    return service.Run() ? 0 : 1;
}
