#include "tests/platform/window/flash/LoopbackServer.h"

#include <cstring>

LoopbackServer::LoopbackServer() {
    service = g_threaded_socket_service_new(4);
    GInetAddress* loopback = g_inet_address_new_loopback(G_SOCKET_FAMILY_IPV4);
    GSocketAddress* where = g_inet_socket_address_new(loopback, 0);
    g_object_unref(loopback);
    GSocketAddress* bound = nullptr;
    if (g_socket_listener_add_address(G_SOCKET_LISTENER(service), where, G_SOCKET_TYPE_STREAM,
                                      G_SOCKET_PROTOCOL_TCP, nullptr, &bound, nullptr)) {
        listeningPort = g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(bound));
        g_object_unref(bound);
    }
    g_object_unref(where);
    g_signal_connect(service, "run", G_CALLBACK(serve), this);
    g_socket_service_start(service);
}

LoopbackServer::~LoopbackServer() {
    g_socket_service_stop(service);
    g_socket_listener_close(G_SOCKET_LISTENER(service));
    g_object_unref(service);
}

void LoopbackServer::answer(const std::string& path, Answer answer) {
    std::lock_guard lock(mutex);
    answers[path] = std::move(answer);
}

std::string LoopbackServer::address(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(listeningPort) + path;
}

std::vector<std::string> LoopbackServer::requests() {
    std::lock_guard lock(mutex);
    return received;
}

gboolean LoopbackServer::serve(GThreadedSocketService*, GSocketConnection* connection, GObject*,
                               gpointer self) {
    static_cast<LoopbackServer*>(self)->respond(connection);
    return TRUE;
}

void LoopbackServer::respond(GSocketConnection* connection) {
    GDataInputStream* input =
        g_data_input_stream_new(g_io_stream_get_input_stream(G_IO_STREAM(connection)));
    g_data_input_stream_set_newline_type(input, G_DATA_STREAM_NEWLINE_TYPE_ANY);
    g_filter_input_stream_set_close_base_stream(G_FILTER_INPUT_STREAM(input), FALSE);
    char* requestLine = g_data_input_stream_read_line(input, nullptr, nullptr, nullptr);
    std::string target;
    if (requestLine) {
        char** words = g_strsplit(requestLine, " ", 3);
        if (words[0] && words[1])
            target = words[1];
        g_strfreev(words);
        g_free(requestLine);
    }
    // Skip the headers up to the empty line; the tests send no bodies.
    while (char* line = g_data_input_stream_read_line(input, nullptr, nullptr, nullptr)) {
        bool end = line[0] == '\0';
        g_free(line);
        if (end)
            break;
    }
    g_object_unref(input);

    Answer answer{404, "text/plain", "not found", ""};
    {
        std::lock_guard lock(mutex);
        received.push_back(target);
        if (auto found = answers.find(target); found != answers.end())
            answer = found->second;
    }
    std::string response = "HTTP/1.1 " + std::to_string(answer.status) + " Answer\r\n";
    if (!answer.contentType.empty())
        response += "Content-Type: " + answer.contentType + "\r\n";
    if (!answer.location.empty())
        response += "Location: " + answer.location + "\r\n";
    response += "Content-Length: " + std::to_string(answer.body.size()) +
                "\r\nConnection: close\r\n\r\n" + answer.body;
    GOutputStream* output = g_io_stream_get_output_stream(G_IO_STREAM(connection));
    g_output_stream_write_all(output, response.data(), response.size(), nullptr, nullptr, nullptr);
    g_io_stream_close(G_IO_STREAM(connection), nullptr, nullptr);
}
