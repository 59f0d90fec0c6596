#pragma once

#include "platform/http/WinInet.h"

// Shortens the HTTP layer's bounds for the handles opened while the object lives, so that a
// test of a misbehaving server ends in moments; the defaults come back when it goes.
class RequestBounds {
  public:
    // `waitMs`: the longest wait for a connection or for any progress; `exchangeMs`: the
    // longest whole exchange.
    explicit RequestBounds(DWORD waitMs, DWORD exchangeMs = defaultExchangeMs) {
        set(waitMs, exchangeMs);
    }
    ~RequestBounds() { set(defaultWaitMs, defaultExchangeMs); }
    RequestBounds(const RequestBounds&) = delete;
    RequestBounds& operator=(const RequestBounds&) = delete;

    static constexpr DWORD defaultWaitMs = 60000;
    static constexpr DWORD defaultExchangeMs = 75000;

  private:
    static void set(DWORD waitMs, DWORD exchangeMs) {
        InternetSetOptionA(nullptr, INTERNET_OPTION_CONNECT_TIMEOUT, &waitMs, sizeof waitMs);
        InternetSetOptionA(nullptr, INTERNET_OPTION_RECEIVE_TIMEOUT, &waitMs, sizeof waitMs);
        InternetSetOptionA(nullptr, INTERNET_OPTION_EXCHANGE_TIMEOUT, &exchangeMs,
                           sizeof exchangeMs);
    }
};
