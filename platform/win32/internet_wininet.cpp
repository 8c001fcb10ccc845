// The internet seam on WinINet's ANSI entry points. The seam was cut after them, so each
// operation forwards its arguments; what is left here is turning views into the
// zero-ended strings the API reads and bounding how long the UI thread can be kept waiting.

#include <windows.h>
#include <wininet.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/internet.h"

namespace miravue::platform {

namespace {

// The UI thread waits through every request; WinINet's own defaults (a minute and more)
// would freeze the window for that long when a server stops answering. Same bounds as the
// Linux backend.
constexpr DWORD kConnectTimeoutMs = 5000;
constexpr DWORD kStallTimeoutMs = 10000;

HINTERNET ToApi(InternetHandle handle) {
    return reinterpret_cast<HINTERNET>(handle);
}
InternetHandle FromApi(HINTERNET handle) {
    return reinterpret_cast<InternetHandle>(handle);
}

// A zero-ended copy of an optional text; absent stays absent (a null pointer for the API).
class ZString {
  public:
    explicit ZString(std::optional<std::string_view> text) {
        if (text)
            value_.emplace(*text);
    }
    const char* get() const { return value_ ? value_->c_str() : nullptr; }

  private:
    std::optional<std::string> value_;
};

void BoundWaits(HINTERNET internet) {
    DWORD connect = kConnectTimeoutMs;
    DWORD stall = kStallTimeoutMs;
    // Failure only leaves WinINet's defaults in place.
    InternetSetOptionA(internet, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect);
    InternetSetOptionA(internet, INTERNET_OPTION_SEND_TIMEOUT, &stall, sizeof stall);
    InternetSetOptionA(internet, INTERNET_OPTION_RECEIVE_TIMEOUT, &stall, sizeof stall);
}

}  // namespace

InternetHandle OpenInternet(std::optional<std::string_view> agent, std::uint32_t accessType,
                            std::optional<std::string_view> proxyList,
                            std::optional<std::string_view> bypassList, std::uint32_t flags) {
    const ZString agentZ(agent), proxyZ(proxyList), bypassZ(bypassList);
    HINTERNET internet =
        InternetOpenA(agentZ.get(), accessType, proxyZ.get(), bypassZ.get(), flags);
    if (internet)
        BoundWaits(internet);
    return FromApi(internet);
}

InternetHandle ConnectInternet(InternetHandle internet, std::string_view serverName,
                               std::uint16_t serverPort, std::optional<std::string_view> userName,
                               std::optional<std::string_view> password, std::uint32_t service,
                               std::uint32_t flags, std::uintptr_t context) {
    const std::string server(serverName);
    const ZString userZ(userName), passwordZ(password);
    return FromApi(InternetConnectA(ToApi(internet), server.c_str(), serverPort, userZ.get(),
                                    passwordZ.get(), service, flags, context));
}

InternetHandle OpenHttpRequest(InternetHandle connection, std::optional<std::string_view> verb,
                               std::string_view objectName, std::optional<std::string_view> version,
                               std::optional<std::string_view> referrer,
                               const char* const* acceptTypes, std::uint32_t flags,
                               std::uintptr_t context) {
    const ZString verbZ(verb), versionZ(version), referrerZ(referrer);
    const std::string object(objectName);
    // The API's parameter lacks the inner const but never writes through it.
    auto** accept = const_cast<LPCSTR*>(acceptTypes);
    return FromApi(HttpOpenRequestA(ToApi(connection), verbZ.get(), object.c_str(), versionZ.get(),
                                    referrerZ.get(), accept, flags, context));
}

bool SendHttpRequest(InternetHandle request, std::string_view headers,
                     std::span<const std::uint8_t> body) {
    // A counted header block: no zero byte needed, and none read past the count.
    const auto headerCount = static_cast<DWORD>(headers.size());
    const auto bodyCount = static_cast<DWORD>(body.size());
    // HttpSendRequestA only reads the body but declares it writable.
    void* bodyData = bodyCount ? const_cast<std::uint8_t*>(body.data()) : nullptr;
    return HttpSendRequestA(ToApi(request), headerCount ? headers.data() : nullptr, headerCount,
                            bodyData, bodyCount) != FALSE;
}

bool ReadInternetData(InternetHandle request, void* buffer, std::uint32_t toRead,
                      std::uint32_t* bytesRead) {
    DWORD read = 0;
    const bool ok = InternetReadFile(ToApi(request), buffer, toRead, &read) != FALSE;
    if (bytesRead)
        *bytesRead = ok ? read : 0;
    return ok;
}

bool QueryHttpInfo(InternetHandle request, std::uint32_t infoLevel, char* buffer,
                   std::uint32_t* bufferLength, std::uint32_t* index) {
    if (!bufferLength)
        return false;
    DWORD length = *bufferLength;
    DWORD indexValue = index ? *index : 0;
    const bool ok = HttpQueryInfoA(ToApi(request), infoLevel, buffer, &length,
                                   index ? &indexValue : nullptr) != FALSE;
    // On success the length excludes the zero byte; when the buffer is too small WinINet
    // reports the room it needs. Either way that is what the caller wants to see.
    if (ok || GetLastError() == ERROR_INSUFFICIENT_BUFFER)
        *bufferLength = length;
    if (index)
        *index = indexValue;
    return ok;
}

bool CloseInternetHandle(InternetHandle handle) {
    if (!handle)
        return false;
    return InternetCloseHandle(ToApi(handle)) != FALSE;
}

}  // namespace miravue::platform
