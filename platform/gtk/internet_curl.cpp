// The internet seam on libcurl, with WinINet's meaning. A request handle performs the whole
// transfer when it is sent and keeps the final response (headers and body) in memory, so
// reads and header queries never touch the network. The UI thread waits through a send,
// which is why every transfer is bounded in time.

#include <curl/curl.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gtk/proxy_list.h"
#include "platform/internet.h"

namespace miravue::platform {

struct InternetObject {
    virtual ~InternetObject() = default;
};

namespace {

// An unreachable host must not freeze the window for the minutes a TCP connect may
// take; a few seconds covers a slow name lookup and handshake on a real link.
constexpr long kConnectTimeoutMs = 5000;
// A server that accepted the connection but sends nothing for this long is taken as dead.
constexpr long kStallSeconds = 10;
// A server trickling a byte now and then is cut off after this, whatever it sends.
constexpr auto kTransferDeadline = std::chrono::seconds(30);
// Redirects followed on the caller's behalf per send; browsers stop at about this many.
constexpr int kMaxAutoRedirects = 10;
// The program only fetches short texts; a body beyond this is a fault of the server and
// must not exhaust memory. The body ends at what had been received, like a read error.
constexpr std::size_t kMaxBodyBytes = 64u << 20;

struct Session final : InternetObject {
    std::string agent;
    std::uint32_t accessType = kInternetOpenTypeDirect;
    std::string proxyList;
    std::string bypassList;
};

struct Connection final : InternetObject {
    Session session;
    std::string server;
    std::uint16_t port = 0;
    std::string userName;
    std::string password;
};

struct Request final : InternetObject {
    Connection connection;
    std::string verb;
    std::string object;
    std::uint32_t flags = 0;
    // The final response of the last send.
    bool haveHeaders = false;
    std::string headers;
    std::vector<std::uint8_t> body;
    std::size_t readPos = 0;
};

// Handles are keys into this table, which owns the objects; an unknown or closed handle
// is simply not found.
class HandleTable {
  public:
    InternetHandle Add(std::unique_ptr<InternetObject> object) {
        std::lock_guard lock(mutex_);
        InternetHandle handle = object.get();
        objects_.emplace(handle, std::move(object));
        return handle;
    }
    template <typename T>
    T* Find(InternetHandle handle) {
        std::lock_guard lock(mutex_);
        const auto it = objects_.find(handle);
        return it == objects_.end() ? nullptr : dynamic_cast<T*>(it->second.get());
    }
    bool Remove(InternetHandle handle) {
        std::unique_ptr<InternetObject> doomed;
        std::lock_guard lock(mutex_);
        const auto it = objects_.find(handle);
        if (it == objects_.end()) {
            return false;
        }
        doomed = std::move(it->second);
        objects_.erase(it);
        return true;
    }

  private:
    std::mutex mutex_;
    std::unordered_map<InternetHandle, std::unique_ptr<InternetObject>> objects_;
};

HandleTable& Handles() {
    static HandleTable table;
    return table;
}

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// The one cookie store of the process, as WinINet keeps one: every request that does not
// ask for NO_COOKIES reads and feeds it. In memory only; it ends with the process.
class CookieStore {
  public:
    CookieStore() : share_(curl_share_init()) {
        if (share_ != nullptr) {
            curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, &CookieStore::Lock);
            curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, &CookieStore::Unlock);
            curl_share_setopt(share_, CURLSHOPT_USERDATA, this);
            curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
        }
    }
    ~CookieStore() {
        if (share_ != nullptr) {
            curl_share_cleanup(share_);
        }
    }
    CookieStore(const CookieStore&) = delete;
    CookieStore& operator=(const CookieStore&) = delete;

    CURLSH* share() const { return share_; }

  private:
    static void Lock(CURL*, curl_lock_data data, curl_lock_access, void* self) {
        static_cast<CookieStore*>(self)->MutexFor(data).lock();
    }
    static void Unlock(CURL*, curl_lock_data data, void* self) {
        static_cast<CookieStore*>(self)->MutexFor(data).unlock();
    }
    std::mutex& MutexFor(curl_lock_data data) {
        const auto index = static_cast<std::size_t>(data);
        return mutexes_[index < mutexes_.size() ? index : 0];
    }

    CURLSH* share_;
    std::array<std::mutex, CURL_LOCK_DATA_LAST> mutexes_;
};

CookieStore& Cookies() {
    static CookieStore store;
    return store;
}

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using EasyPtr = std::unique_ptr<CURL, EasyDeleter>;
using ListPtr = std::unique_ptr<curl_slist, ListDeleter>;

bool AppendToList(ListPtr& list, const std::string& line) {
    curl_slist* grown = curl_slist_append(list.get(), line.c_str());
    if (grown == nullptr) {
        return false;
    }
    list.release();
    list.reset(grown);
    return true;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(text[i]) != lower(prefix[i])) {
            return false;
        }
    }
    return true;
}

// Host names reach curl inside a URL, where "@", "/", "?" or "#" would change its meaning
// (a user name, another path); such a name cannot be a host, so the send fails.
bool IsPlainHostName(std::string_view host) {
    if (host.empty()) {
        return false;
    }
    if (host.front() == '[' && host.back() == ']') {
        return host.find_first_not_of("0123456789abcdefABCDEF:.", 1) == host.size() - 1;
    }
    return std::all_of(host.begin(), host.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
               c == '-' || c == '.' || c == '_' || u >= 0x80;
    });
}

// The caller's header block as curl header lines. curl drops a line "Name:" with nothing
// after it, where WinINet sends it empty; "Name;" is curl's way to send an empty header.
// WinINet sends no "Expect: 100-continue", so curl's own is switched off.
bool BuildHeaderList(std::string_view block, ListPtr& list) {
    bool haveExpect = false;
    std::size_t pos = 0;
    while (pos <= block.size()) {
        std::size_t end = block.find('\n', pos);
        if (end == std::string_view::npos) {
            end = block.size();
        }
        std::string line(block.substr(pos, end - pos));
        pos = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
            line.pop_back();
        }
        if (line.empty()) {
            continue;
        }
        if (StartsWithNoCase(line, "Expect:")) {
            haveExpect = true;
        }
        if (line.back() == ':') {
            line.back() = ';';
        }
        if (!AppendToList(list, line)) {
            return false;
        }
    }
    return haveExpect || AppendToList(list, "Expect:");
}

// What one transfer (one request and its response) collects.
struct Transfer {
    std::string headers;
    bool headersComplete = false;
    std::vector<std::uint8_t> body;
    bool bodyTooLarge = false;
};

size_t OnHeaderLine(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    std::string_view line(data, size * count);
    // A status line starts a new response (after a 100 Continue, say): only the final
    // response's headers are kept, as WinINet shows them.
    if (line.starts_with("HTTP/")) {
        transfer->headers.clear();
        transfer->headersComplete = false;
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    transfer->headers.append(line);
    transfer->headers.append("\r\n");
    if (line.empty()) {
        transfer->headersComplete = true;
    }
    return size * count;
}

size_t OnBodyData(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const size_t n = size * count;
    if (transfer->body.size() + n > kMaxBodyBytes) {
        transfer->bodyTooLarge = true;
        return 0;
    }
    transfer->body.insert(transfer->body.end(), reinterpret_cast<const std::uint8_t*>(data),
                          reinterpret_cast<const std::uint8_t*>(data) + n);
    return n;
}

bool IsFollowedRedirect(long status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// Which schemes a followed redirect may lead to: the request's own, plus the one its
// flags allow a switch to.
bool RedirectAllowed(std::string_view target, std::uint32_t flags) {
    const bool secure = (flags & kInternetFlagSecure) != 0;
    if (StartsWithNoCase(target, "https://")) {
        return secure || (flags & kInternetFlagIgnoreRedirectToHttps) != 0;
    }
    if (StartsWithNoCase(target, "http://")) {
        return !secure || (flags & kInternetFlagIgnoreRedirectToHttp) != 0;
    }
    return false;
}

std::string PortText(std::uint16_t port) {
    return std::to_string(static_cast<unsigned>(port));
}

// Sets the options that stay the same for every transfer of one send.
bool SetCommonOptions(CURL* easy, const Request& request, curl_slist* headerList,
                      const std::string& agent) {
    bool ok = true;
    const auto set = [&ok](CURLcode code) { ok = ok && code == CURLE_OK; };
    set(curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L));
    set(curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https"));
    set(curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, long{CURL_HTTP_VERSION_1_1}));
    set(curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs));
    set(curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L));
    set(curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, kStallSeconds));
    set(curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L));
    set(curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L));
    set(curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L));
    set(curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L));
    set(curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headerList));
    set(curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &OnHeaderLine));
    set(curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &OnBodyData));
    if (!agent.empty()) {
        set(curl_easy_setopt(easy, CURLOPT_USERAGENT, agent.c_str()));
    }
    const Connection& connection = request.connection;
    if (!connection.userName.empty()) {
        set(curl_easy_setopt(easy, CURLOPT_USERNAME, connection.userName.c_str()));
        set(curl_easy_setopt(easy, CURLOPT_PASSWORD, connection.password.c_str()));
    }
    // NO_COOKIES leaves the process store out of this request altogether: nothing is
    // sent from it and nothing received goes into it.
    if ((request.flags & kInternetFlagNoCookies) == 0 && Cookies().share() != nullptr) {
        set(curl_easy_setopt(easy, CURLOPT_SHARE, Cookies().share()));
        set(curl_easy_setopt(easy, CURLOPT_COOKIEFILE, ""));
    }
    return ok;
}

// Sets the proxy for a transfer to `url`; tells whether one is used. A direct session
// uses none, whatever the environment says, as WinINet's direct access does.
bool SetProxy(CURL* easy, const Session& session, bool https) {
    std::string proxy;
    if (session.accessType == kInternetOpenTypeProxy) {
        proxy = ProxyForScheme(session.proxyList, https ? "https" : "http");
    }
    if (proxy.empty()) {
        curl_easy_setopt(easy, CURLOPT_PROXY, "");
        return false;
    }
    const std::string proxyUrl = "http://" + proxy;
    const std::string noProxy = CurlNoProxyList(session.bypassList);
    curl_easy_setopt(easy, CURLOPT_PROXY, proxyUrl.c_str());
    curl_easy_setopt(easy, CURLOPT_NOPROXY, noProxy.c_str());
    return true;
}

// Sets the verb and body of one transfer.
void SetVerbAndBody(CURL* easy, std::string_view verb, std::span<const std::uint8_t> body) {
    curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, static_cast<const char*>(nullptr));
    curl_easy_setopt(easy, CURLOPT_NOBODY, 0L);
    const bool sendBody = verb == "POST" || !body.empty();
    if (sendBody) {
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS,
                         body.empty() ? "" : reinterpret_cast<const char*>(body.data()));
    } else {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    }
    if (verb == "HEAD") {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    } else if (verb != "GET" && verb != "POST") {
        const std::string verbText(verb);
        curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, verbText.c_str());
    } else if (verb == "GET" && sendBody) {
        curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, "GET");
    }
}

// Performs the request and the redirects it may follow; fills `out` with the final
// response. False when no complete response arrived.
bool Perform(Request& request, std::string_view headerBlock, std::span<const std::uint8_t> body,
             Transfer& out) {
    InitCurlOnce();
    const Connection& connection = request.connection;
    const bool https = (request.flags & kInternetFlagSecure) != 0;
    if (!IsPlainHostName(connection.server)) {
        return false;
    }
    EasyPtr easy(curl_easy_init());
    ListPtr headerList;
    if (!easy || !BuildHeaderList(headerBlock, headerList)) {
        return false;
    }
    if (!SetCommonOptions(easy.get(), request, headerList.get(), connection.session.agent)) {
        return false;
    }

    std::uint16_t port = connection.port;
    if (port == kInternetInvalidPortNumber) {
        port = https ? kInternetDefaultHttpsPort : kInternetDefaultHttpPort;
    }
    const std::string hostPort = connection.server + ":" + PortText(port);
    std::string url = (https ? "https://" : "http://") + hostPort + "/";
    // The object goes on the request line as given: no dot segments resolved, no
    // slashes merged. Through a proxy the line carries the absolute form.
    std::string target = request.object.empty() ? "/" : request.object;
    if (SetProxy(easy.get(), connection.session, https) && !https) {
        target =
            "http://" + (port == kInternetDefaultHttpPort ? connection.server : hostPort) + target;
    }
    bool useTarget = true;
    std::string verb = request.verb;
    std::span<const std::uint8_t> sendBody = body;
    const auto deadline = std::chrono::steady_clock::now() + kTransferDeadline;

    for (int redirects = 0;; ++redirects) {
        out = Transfer{};
        curl_easy_setopt(easy.get(), CURLOPT_HEADERDATA, &out);
        curl_easy_setopt(easy.get(), CURLOPT_WRITEDATA, &out);
        curl_easy_setopt(easy.get(), CURLOPT_URL, url.c_str());
        curl_easy_setopt(easy.get(), CURLOPT_PATH_AS_IS, useTarget ? 1L : 0L);
        curl_easy_setopt(easy.get(), CURLOPT_REQUEST_TARGET,
                         useTarget ? target.c_str() : static_cast<const char*>(nullptr));
        SetVerbAndBody(easy.get(), verb, sendBody);
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        curl_easy_setopt(easy.get(), CURLOPT_TIMEOUT_MS, static_cast<long>(left.count()));

        const CURLcode code = curl_easy_perform(easy.get());
        if (!out.headersComplete) {
            return false;
        }
        if (code != CURLE_OK) {
            // The response had begun: its body ends at what had arrived, as when a read
            // fails part way.
            return true;
        }
        long status = 0;
        curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &status);
        const char* next = nullptr;
        curl_easy_getinfo(easy.get(), CURLINFO_REDIRECT_URL, &next);
        if ((request.flags & kInternetFlagNoAutoRedirect) != 0 || !IsFollowedRedirect(status) ||
            next == nullptr) {
            return true;
        }
        // A redirect we would follow but may not (too many, or to a scheme the flags
        // forbid) fails the send, as it does with WinINet.
        if (redirects >= kMaxAutoRedirects || !RedirectAllowed(next, request.flags)) {
            out = Transfer{};
            return false;
        }
        url = next;
        useTarget = false;
        const bool toGet = status == 303 || ((status == 301 || status == 302) && verb == "POST");
        if (toGet && verb != "HEAD") {
            verb = "GET";
            sendBody = {};
        }
        // Without a target of ours, curl writes the absolute form for a proxy itself.
        SetProxy(easy.get(), connection.session, StartsWithNoCase(url, "https://"));
    }
}

}  // namespace

InternetHandle OpenInternet(std::optional<std::string_view> agent, std::uint32_t accessType,
                            std::optional<std::string_view> proxyList,
                            std::optional<std::string_view> bypassList, std::uint32_t /*flags*/) {
    if (accessType != kInternetOpenTypeDirect && accessType != kInternetOpenTypeProxy &&
        accessType != kInternetOpenTypePreconfig) {
        return nullptr;
    }
    auto session = std::make_unique<Session>();
    // The agent becomes a header line of its own: a line break in it would start another.
    const std::string_view agentText = agent.value_or("");
    session->agent = std::string(agentText.substr(0, agentText.find_first_of("\r\n")));
    // There is no system proxy setting to take over here: preconfigured means direct.
    session->accessType =
        accessType == kInternetOpenTypeProxy ? kInternetOpenTypeProxy : kInternetOpenTypeDirect;
    if (session->accessType == kInternetOpenTypeProxy) {
        if (!proxyList) {
            return nullptr;
        }
        session->proxyList = std::string(*proxyList);
        session->bypassList = std::string(bypassList.value_or(""));
    }
    return Handles().Add(std::move(session));
}

InternetHandle ConnectInternet(InternetHandle internet, std::string_view serverName,
                               std::uint16_t serverPort, std::optional<std::string_view> userName,
                               std::optional<std::string_view> password, std::uint32_t service,
                               std::uint32_t /*flags*/, std::uintptr_t /*context*/) {
    const Session* session = Handles().Find<Session>(internet);
    if (session == nullptr || service != kInternetServiceHttp || serverName.empty()) {
        return nullptr;
    }
    auto connection = std::make_unique<Connection>();
    connection->session = *session;
    connection->server = std::string(serverName);
    connection->port = serverPort;
    connection->userName = std::string(userName.value_or(""));
    connection->password = std::string(password.value_or(""));
    return Handles().Add(std::move(connection));
}

InternetHandle OpenHttpRequest(InternetHandle connection, std::optional<std::string_view> verb,
                               std::string_view objectName, std::optional<std::string_view> version,
                               std::optional<std::string_view> /*referrer*/,
                               const char* const* /*acceptTypes*/, std::uint32_t flags,
                               std::uintptr_t /*context*/) {
    const Connection* parent = Handles().Find<Connection>(connection);
    // HTTP/1.1 is the only version spoken here.
    if (parent == nullptr || (version && !version->empty() && *version != "HTTP/1.1")) {
        return nullptr;
    }
    auto request = std::make_unique<Request>();
    request->connection = *parent;
    request->verb = verb && !verb->empty() ? std::string(*verb) : std::string("GET");
    // A verb is one token: anything else would rewrite the request line.
    if (request->verb.find_first_of(" \t\r\n") != std::string::npos) {
        return nullptr;
    }
    // A control byte would break the request line (or start a header of its own), so
    // such an object cannot be sent; a space would split it, so it goes as "%20".
    for (const char c : objectName) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            return nullptr;
        }
        request->object += c == ' ' ? std::string_view("%20") : std::string_view(&c, 1);
    }
    request->flags = flags;
    return Handles().Add(std::move(request));
}

bool SendHttpRequest(InternetHandle handle, std::string_view headers,
                     std::span<const std::uint8_t> body) {
    Request* request = Handles().Find<Request>(handle);
    if (request == nullptr) {
        return false;
    }
    Transfer transfer;
    const bool ok = Perform(*request, headers, body, transfer);
    request->haveHeaders = ok;
    request->headers = ok ? std::move(transfer.headers) : std::string();
    request->body = ok ? std::move(transfer.body) : std::vector<std::uint8_t>();
    request->readPos = 0;
    return ok;
}

bool ReadInternetData(InternetHandle handle, void* buffer, std::uint32_t toRead,
                      std::uint32_t* bytesRead) {
    if (bytesRead != nullptr) {
        *bytesRead = 0;
    }
    Request* request = Handles().Find<Request>(handle);
    if (request == nullptr || bytesRead == nullptr || (buffer == nullptr && toRead > 0) ||
        !request->haveHeaders) {
        return false;
    }
    const std::size_t left = request->body.size() - request->readPos;
    const std::size_t n = std::min<std::size_t>(left, toRead);
    if (n > 0) {
        std::memcpy(buffer, request->body.data() + request->readPos, n);
    }
    request->readPos += n;
    *bytesRead = static_cast<std::uint32_t>(n);
    return true;
}

bool QueryHttpInfo(InternetHandle handle, std::uint32_t infoLevel, char* buffer,
                   std::uint32_t* bufferLength, std::uint32_t* /*index*/) {
    Request* request = Handles().Find<Request>(handle);
    if (request == nullptr || bufferLength == nullptr || infoLevel != kHttpQueryRawHeadersCrlf ||
        !request->haveHeaders) {
        return false;
    }
    const std::size_t needed = request->headers.size() + 1;
    if (buffer == nullptr || needed > *bufferLength) {
        *bufferLength = static_cast<std::uint32_t>(needed);
        return false;
    }
    std::memcpy(buffer, request->headers.data(), request->headers.size());
    buffer[request->headers.size()] = '\0';
    *bufferLength = static_cast<std::uint32_t>(request->headers.size());
    return true;
}

bool CloseInternetHandle(InternetHandle handle) {
    return handle != nullptr && Handles().Remove(handle);
}

}  // namespace miravue::platform
