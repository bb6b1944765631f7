#include "platform/CurlCallbacks.h"

#include "platform/CurlFtpClient.h"

#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vantiro {
namespace {

// A listing beyond this is no folder a person looks at; it only protects the memory.
constexpr std::size_t maxListingBytes = 64 * 1024 * 1024;
// A reply that goes on past this is no answer but a broken or hostile server. libcurl 7 gave up
// there itself; libcurl 8 reads on until its response timeout, all of it kept in the reply log.
constexpr std::size_t maxReplyBytes = 300 * 1024;

int portOf(const curl_sockaddr* address)
{
    if (address->family == AF_INET) {
        sockaddr_in ipv4{};
        std::memcpy(&ipv4, &address->addr, sizeof ipv4);
        return ntohs(ipv4.sin_port);
    }
    if (address->family == AF_INET6) {
        sockaddr_in6 ipv6{};
        std::memcpy(&ipv6, &address->addr, sizeof ipv6);
        return ntohs(ipv6.sin6_port);
    }
    return -1;
}

} // namespace

int CurlCallbacks::debug(CURL*, curl_infotype type, char* data, std::size_t size, void* self)
{
    auto* client = static_cast<CurlFtpClient*>(self);
    switch (type) {
    case CURLINFO_HEADER_IN:
        if (client->replies_.unfinishedSize() + size > maxReplyBytes)
            client->replyTooLong_ = true;
        else
            client->replies_.received({data, size});
        client->loop_.noteTraffic(size);
        break;
    case CURLINFO_DATA_IN:
        if (client->collectRawData_) {
            if (client->rawData_.size() + size > maxListingBytes)
                client->rawDataTooLong_ = true;
            else
                client->rawData_.append(data, size);
        }
        client->loop_.noteTraffic(size);
        break;
    case CURLINFO_HEADER_OUT:
    case CURLINFO_DATA_OUT:
        client->loop_.noteTraffic(size);
        break;
    default:
        client->loop_.noteTraffic(0);
        break;
    }
    return 0;
}

std::size_t CurlCallbacks::header(char*, std::size_t size, std::size_t count, void* self)
{
    return static_cast<CurlFtpClient*>(self)->replyTooLong_ ? 0 : size * count;
}

std::size_t CurlCallbacks::write(char* data, std::size_t size, std::size_t count, void* self)
{
    auto* client = static_cast<CurlFtpClient*>(self);
    const std::size_t bytes = size * count;
    if (client->rawDataTooLong_)
        return 0;
    if (client->sink_ && !client->sink_(data, bytes))
        return 0;
    return bytes;
}

std::size_t CurlCallbacks::read(char* buffer, std::size_t size, std::size_t count, void* self)
{
    auto* client = static_cast<CurlFtpClient*>(self);
    return client->source_ ? client->source_(buffer, size * count) : 0;
}

curl_socket_t CurlCallbacks::openSocket(void* self, curlsocktype purpose, curl_sockaddr* address)
{
    auto* client = static_cast<CurlFtpClient*>(self);
    const bool control = purpose == CURLSOCKTYPE_IPCXN && portOf(address) == client->address_.port;
    if (control && client->refuseNewControlConnection_) {
        client->refusedSocket_ = true;
        return CURL_SOCKET_BAD;
    }
    const curl_socket_t opened =
        socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
    if (control)
        client->controlSocket_ = opened;
    return opened;
}

int CurlCallbacks::closeSocket(void* self, curl_socket_t socket)
{
    auto* client = static_cast<CurlFtpClient*>(self);
    if (socket == client->controlSocket_)
        client->controlSocket_ = -1;
    return ::close(socket);
}

} // namespace vantiro
