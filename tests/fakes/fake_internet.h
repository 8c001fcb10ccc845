#pragma once
// A fake internet layer for tests: it records every call made through platform/internet.h
// and answers sends with scripted responses. Link miravue_fake_internet instead of the
// real backend. One process-wide instance; call Reset() before each test.

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace miravue::fake {

// What a send is answered with.
struct FakeResponse {
    // The raw header block the header query hands back.
    std::string headers;
    // False: the header query fails, as when no response arrived.
    bool headersAvailable = true;
    std::vector<std::uint8_t> body;
    // Reads hand out at most this many bytes each (and never more than asked).
    std::uint32_t readChunk = 1024;
};

// Builds a response from a status line and header lines (each without line break).
FakeResponse MakeResponse(const std::string& statusLine, const std::vector<std::string>& lines,
                          const std::string& body);

struct OpenCall {
    std::optional<std::string> agent;
    std::uint32_t accessType = 0;
    std::optional<std::string> proxyList;
    std::optional<std::string> bypassList;
    std::uint32_t flags = 0;
};

struct ConnectCall {
    std::string server;
    std::uint16_t port = 0;
    std::optional<std::string> userName;
    std::optional<std::string> password;
    std::uint32_t service = 0;
    std::uint32_t flags = 0;
    std::uintptr_t context = 0;
};

struct OpenRequestCall {
    std::optional<std::string> verb;
    std::string object;
    std::optional<std::string> version;
    std::optional<std::string> referrer;
    bool acceptTypesGiven = false;
    std::uint32_t flags = 0;
    std::uintptr_t context = 0;
};

struct SendCall {
    std::string headers;
    std::vector<std::uint8_t> body;
};

struct QueryCall {
    std::uint32_t infoLevel = 0;
    std::uint32_t capacity = 0;
    bool indexGiven = false;
};

// Everything done under one internet handle.
struct Exchange {
    OpenCall open;
    std::optional<ConnectCall> connect;
    std::optional<OpenRequestCall> request;
    std::optional<SendCall> send;
    std::vector<std::uint32_t> readSizes;
    std::vector<QueryCall> queries;
};

struct FakeInternet {
    // Scripted behaviour.
    bool failOpen = false;
    bool failConnect = false;
    bool failOpenRequest = false;
    // Consumed one per send; a send with none left fails and has no response.
    std::deque<FakeResponse> responses;

    // What was done, in order: "open", "connect", "open-request", "send", "read",
    // "query", and "close-internet" / "close-connection" / "close-request".
    std::vector<std::string> log;
    std::vector<Exchange> exchanges;

    void Reset();
    // Handles returned and not yet closed.
    std::size_t OpenHandles() const;
};

FakeInternet& Internet();

}  // namespace miravue::fake
