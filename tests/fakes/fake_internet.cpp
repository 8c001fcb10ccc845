#include "tests/fakes/fake_internet.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "platform/internet.h"

namespace miravue::platform {

struct InternetObject {
    enum class Kind { kInternet, kConnection, kRequest } kind;
    std::size_t exchange;
    fake::FakeResponse response;
    bool sent = false;
    bool sendOk = false;
    std::size_t readPos = 0;
};

}  // namespace miravue::platform

namespace miravue::fake {
namespace {

using platform::InternetHandle;
using platform::InternetObject;
using Kind = InternetObject::Kind;

std::map<InternetHandle, std::unique_ptr<InternetObject>>& Objects() {
    static std::map<InternetHandle, std::unique_ptr<InternetObject>> objects;
    return objects;
}

InternetHandle Add(Kind kind, std::size_t exchange) {
    auto object = std::make_unique<InternetObject>();
    object->kind = kind;
    object->exchange = exchange;
    InternetHandle handle = object.get();
    Objects().emplace(handle, std::move(object));
    return handle;
}

InternetObject* Find(InternetHandle handle, Kind kind) {
    const auto it = Objects().find(handle);
    return it == Objects().end() || it->second->kind != kind ? nullptr : it->second.get();
}

std::optional<std::string> Copy(std::optional<std::string_view> text) {
    return text ? std::optional<std::string>(std::string(*text)) : std::nullopt;
}

}  // namespace

FakeResponse MakeResponse(const std::string& statusLine, const std::vector<std::string>& lines,
                          const std::string& body) {
    FakeResponse response;
    response.headers = statusLine + "\r\n";
    for (const std::string& line : lines) {
        response.headers += line + "\r\n";
    }
    response.headers += "\r\n";
    response.body.assign(body.begin(), body.end());
    return response;
}

void FakeInternet::Reset() {
    *this = FakeInternet{};
    Objects().clear();
}

std::size_t FakeInternet::OpenHandles() const {
    return Objects().size();
}

FakeInternet& Internet() {
    static FakeInternet internet;
    return internet;
}

}  // namespace miravue::fake

namespace miravue::platform {

using fake::Internet;

InternetHandle OpenInternet(std::optional<std::string_view> agent, std::uint32_t accessType,
                            std::optional<std::string_view> proxyList,
                            std::optional<std::string_view> bypassList, std::uint32_t flags) {
    auto& net = Internet();
    net.log.push_back("open");
    fake::Exchange exchange;
    exchange.open = {fake::Copy(agent), accessType, fake::Copy(proxyList), fake::Copy(bypassList),
                     flags};
    net.exchanges.push_back(std::move(exchange));
    if (net.failOpen) {
        return nullptr;
    }
    return fake::Add(InternetObject::Kind::kInternet, net.exchanges.size() - 1);
}

InternetHandle ConnectInternet(InternetHandle internet, std::string_view serverName,
                               std::uint16_t serverPort, std::optional<std::string_view> userName,
                               std::optional<std::string_view> password, std::uint32_t service,
                               std::uint32_t flags, std::uintptr_t context) {
    auto& net = Internet();
    net.log.push_back("connect");
    const InternetObject* parent = fake::Find(internet, InternetObject::Kind::kInternet);
    if (parent == nullptr) {
        return nullptr;
    }
    net.exchanges[parent->exchange].connect = fake::ConnectCall{std::string(serverName),
                                                                serverPort,
                                                                fake::Copy(userName),
                                                                fake::Copy(password),
                                                                service,
                                                                flags,
                                                                context};
    if (net.failConnect) {
        return nullptr;
    }
    return fake::Add(InternetObject::Kind::kConnection, parent->exchange);
}

InternetHandle OpenHttpRequest(InternetHandle connection, std::optional<std::string_view> verb,
                               std::string_view objectName, std::optional<std::string_view> version,
                               std::optional<std::string_view> referrer,
                               const char* const* acceptTypes, std::uint32_t flags,
                               std::uintptr_t context) {
    auto& net = Internet();
    net.log.push_back("open-request");
    const InternetObject* parent = fake::Find(connection, InternetObject::Kind::kConnection);
    if (parent == nullptr) {
        return nullptr;
    }
    net.exchanges[parent->exchange].request = fake::OpenRequestCall{fake::Copy(verb),
                                                                    std::string(objectName),
                                                                    fake::Copy(version),
                                                                    fake::Copy(referrer),
                                                                    acceptTypes != nullptr,
                                                                    flags,
                                                                    context};
    if (net.failOpenRequest) {
        return nullptr;
    }
    return fake::Add(InternetObject::Kind::kRequest, parent->exchange);
}

bool SendHttpRequest(InternetHandle request, std::string_view headers,
                     std::span<const std::uint8_t> body) {
    auto& net = Internet();
    net.log.push_back("send");
    InternetObject* object = fake::Find(request, InternetObject::Kind::kRequest);
    if (object == nullptr) {
        return false;
    }
    net.exchanges[object->exchange].send =
        fake::SendCall{std::string(headers), std::vector<std::uint8_t>(body.begin(), body.end())};
    object->sent = true;
    if (net.responses.empty()) {
        return false;
    }
    object->response = std::move(net.responses.front());
    net.responses.pop_front();
    object->sendOk = true;
    return true;
}

bool ReadInternetData(InternetHandle request, void* buffer, std::uint32_t toRead,
                      std::uint32_t* bytesRead) {
    auto& net = Internet();
    net.log.push_back("read");
    *bytesRead = 0;
    InternetObject* object = fake::Find(request, InternetObject::Kind::kRequest);
    if (object == nullptr) {
        return false;
    }
    net.exchanges[object->exchange].readSizes.push_back(toRead);
    if (!object->sendOk) {
        return false;
    }
    const auto& body = object->response.body;
    const std::size_t n =
        std::min<std::size_t>({body.size() - object->readPos, toRead, object->response.readChunk});
    if (n > 0) {
        std::memcpy(buffer, body.data() + object->readPos, n);
    }
    object->readPos += n;
    *bytesRead = static_cast<std::uint32_t>(n);
    return true;
}

bool QueryHttpInfo(InternetHandle request, std::uint32_t infoLevel, char* buffer,
                   std::uint32_t* bufferLength, std::uint32_t* index) {
    auto& net = Internet();
    net.log.push_back("query");
    InternetObject* object = fake::Find(request, InternetObject::Kind::kRequest);
    if (object == nullptr) {
        return false;
    }
    net.exchanges[object->exchange].queries.push_back(
        fake::QueryCall{infoLevel, *bufferLength, index != nullptr});
    if (!object->sendOk || !object->response.headersAvailable ||
        infoLevel != kHttpQueryRawHeadersCrlf) {
        return false;
    }
    const std::string& headers = object->response.headers;
    if (headers.size() + 1 > *bufferLength) {
        *bufferLength = static_cast<std::uint32_t>(headers.size() + 1);
        return false;
    }
    std::copy(headers.begin(), headers.end(), buffer);
    buffer[headers.size()] = '\0';
    *bufferLength = static_cast<std::uint32_t>(headers.size());
    return true;
}

bool CloseInternetHandle(InternetHandle handle) {
    auto& net = Internet();
    const auto it = fake::Objects().find(handle);
    if (it == fake::Objects().end()) {
        net.log.push_back("close-unknown");
        return false;
    }
    switch (it->second->kind) {
        case InternetObject::Kind::kInternet:
            net.log.push_back("close-internet");
            break;
        case InternetObject::Kind::kConnection:
            net.log.push_back("close-connection");
            break;
        case InternetObject::Kind::kRequest:
            net.log.push_back("close-request");
            break;
    }
    fake::Objects().erase(it);
    return true;
}

}  // namespace miravue::platform
