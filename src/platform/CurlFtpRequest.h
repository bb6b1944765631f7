#pragma once

#include "core/ftp/FtpClient.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantiro {

// What one call of CurlFtpClient asks libcurl to do on the connection's easy handle.
struct CurlFtpRequest {
    std::string url;
    bool noBody = false;
    std::vector<std::string> quote;
    std::vector<std::string> preQuote;
    const char* customRequest = nullptr;
    bool upload = false;
    std::int64_t uploadSize = -1;
    // Servers do not report the converted size of an ASCII transfer, some refuse SIZE then.
    bool skipSizeCheck = false;
    // A file transfer in this type.
    std::optional<TransferType> type;
    // The data as it came off the connection: libcurl turns every CR of a listing it fetches
    // in type A into LF before the write callback, names with a CR included.
    bool rawData = false;
};

} // namespace vantiro
