#pragma once
// The internet seam: the seven operations the HTTP request routine asks of the platform.
// They are shaped after WinINet's ANSI entry points, argument for argument, so the Windows
// backend is a thin forwarding layer and the Linux backend (libcurl) gives the same meaning:
//
//   OpenInternet        InternetOpenA          ConnectInternet    InternetConnectA
//   OpenHttpRequest     HttpOpenRequestA       SendHttpRequest    HttpSendRequestA
//   ReadInternetData    InternetReadFile       QueryHttpInfo      HttpQueryInfoA
//   CloseInternetHandle InternetCloseHandle
//
// Handles are opaque and null on failure. Every handle that was returned must be closed
// exactly once with CloseInternetHandle; a child handle stays usable whatever the order
// of closing (the backends keep what a child needs in the child).
// Strings are code page 936 bytes, as the ANSI entry points take them.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace miravue::platform {

// One opaque type for sessions, connections and requests, as WinINet has one HINTERNET.
struct InternetObject;
using InternetHandle = InternetObject*;

// Access types of OpenInternet.
inline constexpr std::uint32_t kInternetOpenTypePreconfig = 0;
inline constexpr std::uint32_t kInternetOpenTypeDirect = 1;
inline constexpr std::uint32_t kInternetOpenTypeProxy = 3;

// Service of ConnectInternet; the only one there is here.
inline constexpr std::uint32_t kInternetServiceHttp = 3;

// Port 0 asks for the default port of the scheme the request flags pick.
inline constexpr std::uint16_t kInternetInvalidPortNumber = 0;
inline constexpr std::uint16_t kInternetDefaultHttpPort = 80;
inline constexpr std::uint16_t kInternetDefaultHttpsPort = 443;

// Request flags of OpenHttpRequest; the values are WinINet's.
inline constexpr std::uint32_t kInternetFlagReload = 0x80000000u;
inline constexpr std::uint32_t kInternetFlagNoCacheWrite = 0x04000000u;
inline constexpr std::uint32_t kInternetFlagKeepConnection = 0x00400000u;
inline constexpr std::uint32_t kInternetFlagSecure = 0x00800000u;
inline constexpr std::uint32_t kInternetFlagNoAutoRedirect = 0x00200000u;
inline constexpr std::uint32_t kInternetFlagNoCookies = 0x00080000u;
inline constexpr std::uint32_t kInternetFlagIgnoreRedirectToHttp = 0x00008000u;
inline constexpr std::uint32_t kInternetFlagIgnoreRedirectToHttps = 0x00004000u;
inline constexpr std::uint32_t kInternetFlagNeedFile = 0x00000010u;

// Info level of QueryHttpInfo: every response header line, CRLF-separated, status line
// first, ended by an empty line.
inline constexpr std::uint32_t kHttpQueryRawHeadersCrlf = 22;

// InternetOpenA. `proxyList` is WinINet's list ("http=host:port", entries separated by
// spaces or ";", an entry without "scheme=" serving every scheme) and is read only with
// kInternetOpenTypeProxy; `bypassList` likewise. Null on failure.
InternetHandle OpenInternet(std::optional<std::string_view> agent, std::uint32_t accessType,
                            std::optional<std::string_view> proxyList,
                            std::optional<std::string_view> bypassList, std::uint32_t flags);

// InternetConnectA. Nothing goes on the wire yet: the server is only resolved when a
// request is sent. Null on failure.
InternetHandle ConnectInternet(InternetHandle internet, std::string_view serverName,
                               std::uint16_t serverPort, std::optional<std::string_view> userName,
                               std::optional<std::string_view> password, std::uint32_t service,
                               std::uint32_t flags, std::uintptr_t context);

// HttpOpenRequestA. No verb means "GET"; `objectName` goes on the request line exactly as
// given. `acceptTypes` is a null-terminated array of texts or null. Null on failure.
InternetHandle OpenHttpRequest(InternetHandle connection, std::optional<std::string_view> verb,
                               std::string_view objectName, std::optional<std::string_view> version,
                               std::optional<std::string_view> referrer,
                               const char* const* acceptTypes, std::uint32_t flags,
                               std::uintptr_t context);

// HttpSendRequestA. `headers` are request header lines separated by "\r\n" (no break
// after the last one needed); `body` is sent as the request body when not empty. On
// success the response is ready for QueryHttpInfo and ReadInternetData.
bool SendHttpRequest(InternetHandle request, std::string_view headers,
                     std::span<const std::uint8_t> body);

// InternetReadFile. Copies at most `toRead` bytes of the response body into `buffer`
// and stores the count in `*bytesRead`; a count of 0 with a true result is the end of
// the body. False on a bad handle or a read error.
bool ReadInternetData(InternetHandle request, void* buffer, std::uint32_t toRead,
                      std::uint32_t* bytesRead);

// HttpQueryInfoA. `*bufferLength` is the capacity of `buffer` in bytes. On success the
// buffer holds the answer followed by a zero byte and `*bufferLength` its length without
// that byte. When the capacity is too small the result is false, the buffer is left as
// it was and `*bufferLength` holds the capacity needed (zero byte included). `index`
// may be null.
bool QueryHttpInfo(InternetHandle request, std::uint32_t infoLevel, char* buffer,
                   std::uint32_t* bufferLength, std::uint32_t* index);

// InternetCloseHandle. False for a null or unknown handle.
bool CloseInternetHandle(InternetHandle handle);

}  // namespace miravue::platform
