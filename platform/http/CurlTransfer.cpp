#include "platform/http/CurlTransfer.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <curl/curl.h>
#include <string_view>
#include <utility>

#include "platform/http/CookieStore.h"
#include "platform/http/ResponseHeaders.h"

namespace {

constexpr std::size_t receiveBufferSize = 64 * 1024;

long long monotonicMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

} // namespace

struct CurlTransferState {
    TransferRequest request;
    CURL* easy = nullptr;
    CURLM* multi = nullptr;
    curl_slist* headers = nullptr;
    bool attached = false;

    ResponseHeaders response;
    std::string pending; // body bytes received but not yet read
    std::size_t pendingOffset = 0;
    bool bodyStarted = false;
    bool paused = false; // curl holds back body bytes until the reader catches up
    bool progressed = false;
    curl_off_t lastDownloaded = 0, lastUploaded = 0;
    long long bodyReceived = 0;
    bool overLimit = false;
    long long deadline = 0; // monotonic ms at which the whole exchange is given up
    bool done = false;
    TransferFailure failure = TransferFailure::None;

    ~CurlTransferState() {
        if (attached)
            curl_multi_remove_handle(multi, easy);
        curl_multi_cleanup(multi);
        curl_easy_cleanup(easy);
        curl_slist_free_all(headers);
    }

    // Runs the exchange until `ready` holds or it ends. A wait that sees no progress for
    // the receive bound, or that reaches the deadline, ends the exchange rather than
    // blocking for ever.
    template <typename Ready> void driveUntil(Ready ready) {
        long long lastProgress = monotonicMs();
        while (!done && !ready()) {
            if (pastDeadline())
                break;
            int running = 0;
            if (curl_multi_perform(multi, &running) != CURLM_OK) {
                finish(TransferFailure::Broken);
                break;
            }
            collectResult();
            if (done || ready())
                break;
            long long now = monotonicMs();
            if (progressed) {
                progressed = false;
                lastProgress = now;
            } else if (connected() && now - lastProgress >= request.receiveTimeoutMs) {
                finish(TransferFailure::Stalled);
                break;
            }
            long long left =
                std::min(request.receiveTimeoutMs - (now - lastProgress), deadline - now);
            int waitMs = static_cast<int>(std::clamp<long long>(left, 1, 1000));
            curl_multi_poll(multi, nullptr, 0, waitMs, nullptr);
        }
    }

    // Ends the exchange as abandoned once its time is up.
    bool pastDeadline() {
        if (!done && monotonicMs() >= deadline)
            finish(TransferFailure::Abandoned);
        return failure == TransferFailure::Abandoned;
    }

    bool connected() const {
        // Before the connection stands, curl's own connect bound applies.
        curl_off_t connectTime = 0;
        curl_easy_getinfo(easy, CURLINFO_CONNECT_TIME_T, &connectTime);
        return connectTime > 0;
    }

    void collectResult() {
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
            if (message->msg == CURLMSG_DONE)
                finish(failureOf(message->data.result));
        }
    }

    TransferFailure failureOf(CURLcode result) const {
        if (overLimit)
            return TransferFailure::Abandoned;
        if (result == CURLE_OK)
            return TransferFailure::None;
        return result == CURLE_OPERATION_TIMEDOUT ? TransferFailure::Stalled
                                                  : TransferFailure::Broken;
    }

    void finish(TransferFailure why) {
        done = true;
        failure = why;
        if (attached) {
            curl_multi_remove_handle(multi, easy);
            attached = false;
        }
        if (why == TransferFailure::Abandoned) {
            // Nothing of an abandoned exchange is handed out any more.
            pending.clear();
            pendingOffset = 0;
        }
    }

    static std::size_t onBody(char* data, std::size_t, std::size_t count, void* user) {
        auto* self = static_cast<CurlTransferState*>(user);
        // One curl_multi_perform reads for as long as the socket has data; pausing keeps
        // the unread bytes to about one receive buffer however fast the server sends.
        if (self->pending.size() - self->pendingOffset >= receiveBufferSize) {
            self->paused = true;
            return CURL_WRITEFUNC_PAUSE;
        }
        if (self->bodyReceived + static_cast<long long>(count) > self->request.bodyLimit) {
            self->overLimit = true;
            return 0; // curl ends the transfer with a write error
        }
        self->bodyReceived += static_cast<long long>(count);
        self->pending.append(data, count);
        self->bodyStarted = true;
        self->progressed = true;
        return count;
    }

    static std::size_t onHeader(char* data, std::size_t, std::size_t count, void* user) {
        auto* self = static_cast<CurlTransferState*>(user);
        // Trailers after the body are not part of the response headers.
        if (!self->bodyStarted)
            self->response.addLine(std::string_view(data, count));
        self->progressed = true;
        return count;
    }

    static int onProgress(void* user, curl_off_t, curl_off_t downloaded, curl_off_t,
                          curl_off_t uploaded) {
        auto* self = static_cast<CurlTransferState*>(user);
        if (downloaded != self->lastDownloaded || uploaded != self->lastUploaded) {
            self->lastDownloaded = downloaded;
            self->lastUploaded = uploaded;
            self->progressed = true;
        }
        return 0;
    }

    bool configure();
};

bool CurlTransferState::configure() {
    ensureCurlReady();
    easy = curl_easy_init();
    multi = curl_multi_init();
    if (easy == nullptr || multi == nullptr)
        return false;
    for (const std::string& line : request.headerLines) {
        curl_slist* longer = curl_slist_append(headers, line.c_str());
        if (longer == nullptr)
            return false;
        headers = longer;
    }

    curl_easy_setopt(easy, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION,
                     request.http10 ? CURL_HTTP_VERSION_1_0 : CURL_HTTP_VERSION_1_1);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    if (!request.agent.empty())
        curl_easy_setopt(easy, CURLOPT_USERAGENT, request.agent.c_str());

    if (request.hasBody) {
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(request.body.size()));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, request.body.data());
        if (request.verb != "POST")
            curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, request.verb.c_str());
    } else if (request.verb == "POST") {
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE, 0L);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, "");
    } else if (request.verb == "HEAD") {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    } else if (request.verb != "GET") {
        curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, request.verb.c_str());
    }

    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 20L);
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, request.redirectProtocols.c_str());

    if (!request.useSystemProxy) {
        // An explicit empty proxy keeps curl from reading http_proxy and friends.
        curl_easy_setopt(easy, CURLOPT_PROXY, request.proxy.c_str());
        curl_easy_setopt(easy, CURLOPT_NOPROXY, request.noProxy.c_str());
    }
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);

    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);

    if (request.useCookies) {
        curl_easy_setopt(easy, CURLOPT_SHARE, sharedCookieStore());
        curl_easy_setopt(easy, CURLOPT_COOKIEFILE, ""); // switches the engine on, reads no file
    }

    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, std::max(request.connectTimeoutMs, 1L));
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, static_cast<long>(receiveBufferSize));

    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, this);

    response.setFollowingRedirects(request.followRedirects);
    return true;
}

CurlTransfer::CurlTransfer(TransferRequest request) : state(std::make_unique<CurlTransferState>()) {
    state->request = std::move(request);
}

CurlTransfer::~CurlTransfer() = default;

bool CurlTransfer::start() {
    CurlTransferState& s = *state;
    s.deadline = monotonicMs() + s.request.exchangeTimeoutMs;
    if (!s.configure() || curl_multi_add_handle(s.multi, s.easy) != CURLM_OK) {
        s.finish(TransferFailure::Broken);
        return false;
    }
    s.attached = true;
    s.driveUntil([&s] { return s.bodyStarted || s.response.finalComplete(); });
    if (s.failure == TransferFailure::Abandoned)
        return false;
    return s.bodyStarted || s.response.finalComplete() ||
           (s.done && s.failure == TransferFailure::None);
}

std::size_t CurlTransfer::read(char* buffer, std::size_t size) {
    CurlTransferState& s = *state;
    if (s.pastDeadline())
        return 0;
    if (s.pendingOffset == s.pending.size()) {
        s.pending.clear();
        s.pendingOffset = 0;
        if (s.paused) {
            s.paused = false;
            curl_easy_pause(s.easy, CURLPAUSE_CONT); // hands over what curl held back
        }
        s.driveUntil([&s] { return !s.pending.empty(); });
    }
    std::size_t count = std::min(size, s.pending.size() - s.pendingOffset);
    if (count > 0)
        std::memcpy(buffer, s.pending.data() + s.pendingOffset, count);
    s.pendingOffset += count;
    return count;
}

TransferFailure CurlTransfer::failure() const {
    return state->failure;
}

const std::string& CurlTransfer::rawHeaders() const {
    return state->response.text();
}
