#include "player_service.h"

#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "gbk_to_utf8.h"
#include "percent_decode.h"
#include "play_page.h"

namespace miravue::player_service {

namespace {

// The Windows build hosts a browser control that renders in its IE7 mode unless told otherwise.
const httplib::Headers kPageHeaders = {
    {"X-UA-Compatible", "IE=edge"},
    {"Cache-Control", "no-store"},
};

bool IsPlainHostHeader(std::string_view host) {
    return !host.empty() && host.size() < 256 && std::all_of(host.begin(), host.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '.' || c == '-' || c == ':' || c == '[' || c == ']';
    });
}

// httplib files the connection's addresses among the request headers; they never came from
// the client, so the log leaves them out.
bool IsServerSideField(std::string_view name) {
    return name == "LOCAL_ADDR" || name == "LOCAL_PORT" || name == "REMOTE_ADDR" ||
           name == "REMOTE_PORT";
}

// httplib's own default also sets SO_REUSEPORT, which would let a second service bind the same
// port silently and split the requests between the two. Address reuse alone only skips the
// TIME_WAIT of a previous run.
void ReuseAddressOnly(socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

}  // namespace

PlayerService::PlayerService(const std::string& log_path) : log_path_(log_path), log_(log_path) {
    server_.set_socket_options(ReuseAddressOnly);
    server_.set_default_headers(kPageHeaders);
    server_.set_logger([this](const httplib::Request& request, const httplib::Response&) {
        RequestLog::HeaderList headers;
        for (const auto& [name, value] : request.headers) {
            if (!IsServerSideField(name)) {
                headers.emplace_back(name, value);
            }
        }
        log_.Write(request.method, request.target, request.version, headers);
    });
    SetUpRoutes();
}

std::string PlayerService::KeyPrefix(const httplib::Request& request) const {
    // The program reached us by the name in its Host line, so the page is there too.
    std::string authority = request.get_header_value("Host");
    if (!IsPlainHostHeader(authority)) {
        authority = host_ + ":" + std::to_string(port_);
    }
    return "http://" + authority + "/play?u=";
}

void PlayerService::SetUpRoutes() {
    server_.Get("/key", [this](const httplib::Request& request, httplib::Response& response) {
        response.set_content(KeyPrefix(request), "text/plain; charset=utf-8");
    });
    server_.Get("/play", [](const httplib::Request& request, httplib::Response& response) {
        // The raw target, not httplib's decoded parameters: those would take "+" for a space
        // and read "%uXXXX" escapes, neither of which the program sends.
        const std::string gbk = PercentDecode(QueryParameter(request.target, "u"));
        response.set_content(RenderPlayPage(GbkToUtf8(gbk)), "text/html; charset=utf-8");
    });
}

bool PlayerService::Bind(const std::string& host, int port, std::string& error) {
    host_ = host;
    errno = 0;
    if (!server_.bind_to_port(host, port)) {
        const int bind_errno = errno;
        if (bind_errno == EADDRINUSE) {
            error = "port " + std::to_string(port) + " on " + host + " is already in use";
        } else if (bind_errno != 0) {
            error = "cannot listen on " + host + ":" + std::to_string(port) + ": " +
                    std::strerror(bind_errno);
        } else {
            error = "cannot listen on " + host + ":" + std::to_string(port);
        }
        return false;
    }
    port_ = port;
    return true;
}

int PlayerService::BindAnyPort(const std::string& host) {
    host_ = host;
    port_ = server_.bind_to_any_port(host);
    return port_ > 0 ? port_ : -1;
}

bool PlayerService::Run() {
    return server_.listen_after_bind();
}

void PlayerService::Stop() {
    server_.stop();
}

}  // namespace miravue::player_service
