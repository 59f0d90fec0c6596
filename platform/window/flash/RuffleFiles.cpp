#include "platform/window/flash/FlashPlayer.h"

#include <cstring>

#include <gio/gio.h>
#include <libsoup/soup.h>

namespace {

std::string folderHoldingRuffle(const std::string& folder) {
    std::string script = folder + "/ruffle.js";
    return g_file_test(script.c_str(), G_FILE_TEST_IS_REGULAR) ? folder : std::string();
}

// Looked up from the executable's own folder only, so an installed program and a build tree
// each use their own copy wherever they were moved.
std::string findRuffleFolder() {
    char* exe = g_file_read_link("/proc/self/exe", nullptr);
    if (!exe)
        return {};
    char* exeFolder = g_path_get_dirname(exe);
    std::string folder(exeFolder);
    g_free(exeFolder);
    g_free(exe);
    for (const char* relative : {"/../share/quorvel/ruffle", "/ruffle"}) {
        std::string found = folderHoldingRuffle(folder + relative);
        if (!found.empty())
            return found;
    }
    return {};
}

// Only Ruffle's own scripts and WebAssembly builds, by plain file name: nothing else of the
// disk is reachable through the scheme.
const char* ruffleContentType(const std::string& name) {
    if (name.empty() || name[0] == '.' || name.find_first_of("/\\") != std::string::npos)
        return nullptr;
    auto endsWith = [&](const char* suffix) {
        size_t length = std::strlen(suffix);
        return name.size() > length && name.compare(name.size() - length, length, suffix) == 0;
    };
    if (endsWith(".js"))
        return "text/javascript; charset=utf-8";
    if (endsWith(".wasm"))
        return "application/wasm";
    return nullptr;
}

void finishNotFound(WebKitURISchemeRequest* request, const std::string& name) {
    GError* error =
        g_error_new(G_IO_ERROR, G_IO_ERROR_NOT_FOUND, "No Ruffle file \"%s\"", name.c_str());
    webkit_uri_scheme_request_finish_error(request, error);
    g_error_free(error);
}

void serveRuffleFile(WebKitURISchemeRequest* request, gpointer) {
    const char* path = webkit_uri_scheme_request_get_path(request);
    std::string name = path ? path : "";
    if (!name.empty() && name[0] == '/')
        name.erase(0, 1);
    const char* type = ruffleContentType(name);
    std::string folder = flashRuffleFolder();
    if (!type || folder.empty())
        return finishNotFound(request, name);

    std::string filePath = folder + "/" + name;
    GFile* file = g_file_new_for_path(filePath.c_str());
    GFileInputStream* stream = g_file_read(file, nullptr, nullptr);
    g_object_unref(file);
    if (!stream)
        return finishNotFound(request, name);
    GFileInfo* info =
        g_file_input_stream_query_info(stream, G_FILE_ATTRIBUTE_STANDARD_SIZE, nullptr, nullptr);
    gint64 size = info ? g_file_info_get_size(info) : -1;
    if (info)
        g_object_unref(info);

    WebKitURISchemeResponse* response =
        webkit_uri_scheme_response_new(G_INPUT_STREAM(stream), size);
    g_object_unref(stream);
    webkit_uri_scheme_response_set_status(response, SOUP_STATUS_OK, nullptr);
    // fetch() reads the type from the headers only, and WebAssembly's streaming compile
    // refuses anything but application/wasm.
    SoupMessageHeaders* headers = soup_message_headers_new(SOUP_MESSAGE_HEADERS_RESPONSE);
    soup_message_headers_append(headers, "Content-Type", type);
    webkit_uri_scheme_response_set_http_headers(response, headers);
    webkit_uri_scheme_response_set_content_type(response, type);
    webkit_uri_scheme_request_finish_with_response(request, response);
    g_object_unref(response);
}

} // namespace

std::string flashRuffleFolder() {
    static const std::string folder = findRuffleFolder();
    return folder;
}

void flashPrepareContext(WebKitWebContext* context) {
    static const char* const preparedKey = "quorvel-flash-prepared";
    if (!context || g_object_get_data(G_OBJECT(context), preparedKey))
        return;
    g_object_set_data(G_OBJECT(context), preparedKey, GINT_TO_POINTER(1));

    webkit_web_context_register_uri_scheme(context, flashRuffleScheme, serveRuffleFile, nullptr,
                                           nullptr);
    WebKitSecurityManager* security = webkit_web_context_get_security_manager(context);
    // fetch() refuses a scheme that is not CORS-enabled, even on its own origin. Not secure:
    // the player page would then be refused the http:// movies as mixed content.
    webkit_security_manager_register_uri_scheme_as_cors_enabled(security, flashRuffleScheme);

    // One view, no history to go back to: no page cache, and the least memory for caches.
    webkit_web_context_set_cache_model(context, WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);

    // Ruffle builds an Intl.Locale from the page language, which throws on the "c" that a
    // C.UTF-8 environment would give.
    const char* languages[] = {"zh-CN", "en-US", nullptr};
    webkit_web_context_set_preferred_languages(context, languages);
}
