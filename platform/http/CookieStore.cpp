#include "platform/http/CookieStore.h"

#include <cstdlib>
#include <mutex>

namespace {

std::mutex cookieLock;

void lockShare(CURL*, curl_lock_data, curl_lock_access, void*) {
    cookieLock.lock();
}
void unlockShare(CURL*, curl_lock_data, void*) {
    cookieLock.unlock();
}

CURLSH* makeStore() {
    ensureCurlReady();
    CURLSH* share = curl_share_init();
    if (share == nullptr)
        std::abort(); // out of memory at start-up: nothing sensible to go on with
    curl_share_setopt(share, CURLSHOPT_LOCKFUNC, lockShare);
    curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, unlockShare);
    curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    return share;
}

} // namespace

void ensureCurlReady() {
    // curl_global_init is not thread-safe; a function-local static runs it exactly once.
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)ready;
}

CURLSH* sharedCookieStore() {
    static CURLSH* const store = makeStore();
    return store;
}

void endCookieSession() {
    CURL* easy = curl_easy_init();
    if (easy == nullptr)
        return;
    curl_easy_setopt(easy, CURLOPT_SHARE, sharedCookieStore());
    curl_easy_setopt(easy, CURLOPT_COOKIELIST, "SESS");
    curl_easy_cleanup(easy);
}
