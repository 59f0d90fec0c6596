#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <gio/gio.h>

// A small HTTP/1.1 server on 127.0.0.1 for the view tests: fixed answers by path, one
// request per connection, served on threads of its own so the GTK main loop stays free.
class LoopbackServer {
  public:
    struct Answer {
        int status = 200;
        std::string contentType;
        std::string body;
        std::string location; // sent as Location when not empty
    };

    // Starts listening on a free port; port() is 0 when that failed.
    LoopbackServer();
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    // Answers requests for `path` (query included) with `answer`; any other path gets 404.
    void answer(const std::string& path, Answer answer);
    // "http://127.0.0.1:port" followed by `path`.
    std::string address(const std::string& path) const;
    int port() const { return listeningPort; }
    // The request targets received so far, in order.
    std::vector<std::string> requests();

  private:
    static gboolean serve(GThreadedSocketService*, GSocketConnection* connection, GObject*,
                          gpointer self);
    void respond(GSocketConnection* connection);

    GSocketService* service = nullptr;
    int listeningPort = 0;
    std::mutex mutex;
    std::map<std::string, Answer> answers;
    std::vector<std::string> received;
};
