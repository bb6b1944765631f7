#pragma once

namespace vantiro {

// The user reads what went wrong in German; libcurl's own words follow for whoever helps them.
class CurlFailureText final {
public:
    // The German words for a libcurl error code (CURLcode), nullptr for codes without them.
    static const char* german(int curlCode);
};

} // namespace vantiro
