#pragma once

#include <curl/curl.h>

#include <cstddef>

namespace vantiro {

// libcurl's callbacks for a CurlFtpClient's easy handle; the last argument is the client.
struct CurlCallbacks {
    // What the server sends is kept; of what goes out, only the amount is counted, so PASS is
    // never looked at.
    static int debug(CURL*, curl_infotype type, char* data, std::size_t size, void* self);
    // libcurl hands every reply line here too, and reads a reply on until it ends; refusing a
    // line stops it at once.
    static std::size_t header(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t write(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t read(char* buffer, std::size_t size, std::size_t count, void* self);
    // Notes the control connection's socket, and refuses a second control connection that
    // libcurl would open on its own.
    static curl_socket_t openSocket(void* self, curlsocktype purpose, curl_sockaddr* address);
    static int closeSocket(void* self, curl_socket_t socket);
};

} // namespace vantiro
