#pragma once

#include <curl/curl.h>

#include <string>
#include <vector>

namespace vantiro {

// A curl_slist for the life of one call.
class CurlStringList final {
public:
    explicit CurlStringList(const std::vector<std::string>& items)
    {
        for (const std::string& item : items)
            list_ = curl_slist_append(list_, item.c_str());
    }
    ~CurlStringList() { curl_slist_free_all(list_); }
    CurlStringList(const CurlStringList&) = delete;
    CurlStringList& operator=(const CurlStringList&) = delete;

    curl_slist* get() const { return list_; }

private:
    curl_slist* list_ = nullptr;
};

} // namespace vantiro
