#pragma once
// The reference player service: the key endpoint and the player page on one HTTP server.

#include <httplib.h>

#include <string>

#include "request_log.h"

namespace miravue::player_service {

constexpr int kDefaultPort = 17380;
constexpr const char* kDefaultHost = "127.0.0.1";

class PlayerService {
  public:
    // An empty log path records nothing.
    explicit PlayerService(const std::string& log_path);

    bool log_ok() const { return log_path_.empty() || log_.is_open(); }

    // Binds without listening yet. False when the address cannot be bound, the port being
    // taken by another process above all; `error` then says why.
    bool Bind(const std::string& host, int port, std::string& error);
    // Binds to a free port the system picks; returns it, or -1.
    int BindAnyPort(const std::string& host);

    // Serves until Stop. False when serving could not start.
    bool Run();
    void Stop();
    bool is_running() const { return server_.is_running(); }
    int port() const { return port_; }

  private:
    void SetUpRoutes();
    std::string KeyPrefix(const httplib::Request& request) const;

    httplib::Server server_;
    std::string log_path_;
    RequestLog log_;
    std::string host_;
    int port_ = 0;
};

}  // namespace miravue::player_service
