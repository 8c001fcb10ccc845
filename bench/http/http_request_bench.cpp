// One request of the routine against a loopback server that answers at once, next to the
// same exchange made through the seven internet operations directly: the difference is
// what the routine itself adds on the wire path.

#include <benchmark/benchmark.h>
#include <httplib.h>

#include <thread>

#include "platform/internet.h"
#include "web/http_request.h"

namespace miravue {
namespace {

namespace net = platform;

class KeyServer {
  public:
    KeyServer() {
        server_.Get("/key", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("http://127.0.0.1:17380/play?u=", "text/plain; charset=utf-8");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
    }
    ~KeyServer() {
        server_.stop();
        thread_.join();
    }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/key"; }
    std::uint16_t port() const { return static_cast<std::uint16_t>(port_); }

  private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
};

void BM_HttpRequestLoopback(benchmark::State& state) {
    KeyServer server;
    const std::string url = server.Url();
    for (auto _ : state) {
        Text body = HttpRequest(url);
        if (body.empty()) {
            state.SkipWithError("no answer");
            break;
        }
        benchmark::DoNotOptimize(body);
    }
}
BENCHMARK(BM_HttpRequestLoopback)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_SeamOnlyLoopback(benchmark::State& state) {
    KeyServer server;
    const std::string headers = "Referer: " + server.Url() +
                                "\r\nAccept: */*\r\nAccept-Language: zh-cn\r\nContent-Type: "
                                "application/x-www-form-urlencoded";
    for (auto _ : state) {
        net::InternetHandle internet = net::OpenInternet(
            kDefaultUserAgent, net::kInternetOpenTypeDirect, std::nullopt, std::nullopt, 0);
        net::InternetHandle connection = net::ConnectInternet(internet, "127.0.0.1", server.port(),
                                                              std::nullopt, std::nullopt, 3, 0, 0);
        net::InternetHandle request = net::OpenHttpRequest(connection, "GET", "/key", "HTTP/1.1",
                                                           std::nullopt, nullptr, 0x80004010u, 0);
        const bool sent = net::SendHttpRequest(request, headers, {});
        char block[1024];
        std::uint32_t count = 0;
        while (net::ReadInternetData(request, block, sizeof block, &count) && count > 0) {
        }
        std::string buffer(5000, ' ');
        std::uint32_t length = 5000;
        net::QueryHttpInfo(request, net::kHttpQueryRawHeadersCrlf, buffer.data(), &length, nullptr);
        net::CloseInternetHandle(request);
        net::CloseInternetHandle(connection);
        net::CloseInternetHandle(internet);
        if (!sent) {
            state.SkipWithError("no answer");
            break;
        }
    }
}
BENCHMARK(BM_SeamOnlyLoopback)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
}  // namespace miravue

BENCHMARK_MAIN();
