#include "player_service.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

namespace miravue::player_service {
namespace {

using testing::HasSubstr;
using testing::Not;
using testing::StartsWith;

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A service on an ephemeral loopback port, serving on its own thread, logging to a temp file.
class PlayerServiceTest : public testing::Test {
  protected:
    void SetUp() override {
        log_path_ = std::filesystem::temp_directory_path() /
                    ("player_service_test_" + std::to_string(getpid()) + ".log");
        std::filesystem::remove(log_path_);
        service_ = std::make_unique<PlayerService>(log_path_.string());
        port_ = service_->BindAnyPort("127.0.0.1");
        ASSERT_GT(port_, 0);
        thread_ = std::thread([this] { service_->Run(); });
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!service_->is_running() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        ASSERT_TRUE(service_->is_running());
        client_ = std::make_unique<httplib::Client>("127.0.0.1", port_);
    }

    void TearDown() override {
        if (service_) {
            service_->Stop();
        }
        if (thread_.joinable()) {
            thread_.join();
        }
        std::filesystem::remove(log_path_);
    }

    // The entry is written once the answer has gone out, so the client may be told first.
    std::string LogOnceItHas(const std::string& wanted) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        std::string log = ReadFile(log_path_);
        while (log.find(wanted) == std::string::npos &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            log = ReadFile(log_path_);
        }
        return log;
    }

    std::filesystem::path log_path_;
    std::unique_ptr<PlayerService> service_;
    int port_ = 0;
    std::thread thread_;
    std::unique_ptr<httplib::Client> client_;
};

TEST_F(PlayerServiceTest, KeyAnswersItsOwnPlayPrefix) {
    const auto result = client_->Get("/key");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_EQ(result->body, "http://127.0.0.1:" + std::to_string(port_) + "/play?u=");
    EXPECT_EQ(result->get_header_value("X-UA-Compatible"), "IE=edge");
}

TEST_F(PlayerServiceTest, PlayDecodesGbkPercentEncoding) {
    const auto result = client_->Get("/play?u=%D6%D0%CE%C4");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_EQ(result->get_header_value("Content-Type"), "text/html; charset=utf-8");
    EXPECT_EQ(result->get_header_value("X-UA-Compatible"), "IE=edge");
    EXPECT_THAT(result->body, HasSubstr("<p class=\"address\">\xE4\xB8\xAD\xE6\x96\x87</p>"));
}

TEST_F(PlayerServiceTest, PlayKeepsPlusAndEscapesMarkup) {
    const auto result = client_->Get("/play?u=a+b%3Cscript%3Ealert(1)%3C%2Fscript%3E");
    ASSERT_TRUE(result);
    EXPECT_THAT(result->body, HasSubstr("a+b&lt;script&gt;alert(1)&lt;/script&gt;"));
    EXPECT_THAT(result->body, Not(HasSubstr("<script>")));
}

TEST_F(PlayerServiceTest, PlayShowsMagnetHash) {
    const auto result = client_->Get(
        "/play?u=magnet%3A%3Fxt%3Durn%3Abtih%3A0123456789abcdef0123456789abcdef01234567");
    ASSERT_TRUE(result);
    EXPECT_THAT(result->body, HasSubstr(">0123456789abcdef0123456789abcdef01234567</code>"));
}

TEST_F(PlayerServiceTest, UnknownPathIsNotFoundAndStillAsksForEdgeMode) {
    const auto result = client_->Get("/nothing-here");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 404);
    EXPECT_EQ(result->get_header_value("X-UA-Compatible"), "IE=edge");
}

TEST_F(PlayerServiceTest, LogRecordsRequestLineAndHeaders) {
    const httplib::Headers headers = {{"Accept-Language", "zh-cn"}, {"Referer", "http://r/k"}};
    ASSERT_TRUE(client_->Get("/play?u=abc%20def", headers));
    const std::string log = LogOnceItHas("\tReferer");
    EXPECT_THAT(log, HasSubstr(" GET /play?u=abc%20def HTTP/1.1\n"));
    EXPECT_THAT(log, HasSubstr("\tAccept-Language: zh-cn\n"));
    EXPECT_THAT(log, HasSubstr("\tReferer: http://r/k\n"));
    EXPECT_THAT(log, Not(HasSubstr("REMOTE_ADDR")));
}

TEST(RequestLogTest, EntryPutsForgedLineBreaksOnOneLine) {
    const std::string entry = RequestLog::FormatEntry(12.5, "GET", "/key\nGET /forged", "HTTP/1.1",
                                                      {{"Host", "h\r\nX: y"}});
    EXPECT_EQ(entry, "12.500000 GET /key GET /forged HTTP/1.1\n\tHost: h  X: y\n");
}

// Holds a loopback port the way another program would.
struct ServiceRun {
    int exitCode = -1;  // -1 when the service could not be started or did not exit normally
    std::string output;
};

// Runs the service executable with `arguments` and collects what it prints, stderr included.
ServiceRun RunService(const std::string& arguments) {
    ServiceRun run;
    const std::string command = std::string(MIRAVUE_PLAYER_SERVICE_EXE) + " " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        run.output += buffer;
    }
    const int status = pclose(pipe);
    if (WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
    }
    return run;
}

class TakenPort {
  public:
    TakenPort() {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (fd_ >= 0 && bind(fd_, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
            listen(fd_, 1) == 0 &&
            getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
            port_ = ntohs(address.sin_port);
        }
    }
    ~TakenPort() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    TakenPort(const TakenPort&) = delete;
    TakenPort& operator=(const TakenPort&) = delete;
    int port() const { return port_; }

  private:
    int fd_ = -1;
    int port_ = 0;
};

TEST(PlayerServicePortTest, BindFailsWhenThePortIsTaken) {
    TakenPort taken;
    ASSERT_GT(taken.port(), 0);
    PlayerService service("");
    std::string error;
    EXPECT_FALSE(service.Bind("127.0.0.1", taken.port(), error));
    EXPECT_EQ(error, "port " + std::to_string(taken.port()) + " on 127.0.0.1 is already in use");
}

TEST(PlayerServicePortTest, SecondServiceOnTheSamePortIsRefused) {
    PlayerService first("");
    const int port = first.BindAnyPort("127.0.0.1");
    ASSERT_GT(port, 0);
    PlayerService second("");
    std::string error;
    EXPECT_FALSE(second.Bind("127.0.0.1", port, error));
}

TEST(PlayerServicePortTest, ExecutableExitsWithMessageWhenThePortIsTaken) {
    TakenPort taken;
    ASSERT_GT(taken.port(), 0);
    const ServiceRun run = RunService("--port " + std::to_string(taken.port()));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_THAT(run.output,
                StartsWith("miravue-player-service: port " + std::to_string(taken.port()) +
                           " on 127.0.0.1 is already in use"));
}

TEST(PlayerServiceOptionsTest, ExecutableRejectsBadPort) {
    const ServiceRun run = RunService("--port 70000");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_THAT(run.output, HasSubstr("bad port \"70000\""));
}

}  // namespace
}  // namespace miravue::player_service
