#include "platform/FtpFeatureList.h"

#include <algorithm>

namespace vantiro {

bool FtpFeatureList::has(std::string_view feature) const
{
    size_t begin = 0;
    while (begin <= reply_.size()) {
        const size_t end = std::min(reply_.find('\n', begin), reply_.size());
        std::string_view line(reply_.data() + begin, end - begin);
        while (!line.empty() && line.front() == ' ')
            line.remove_prefix(1);
        while (!line.empty() && (line.back() == ' ' || line.back() == '\r'))
            line.remove_suffix(1);
        const size_t blank = line.find(' ');
        if (line.substr(0, blank) == feature)
            return true;
        begin = end + 1;
    }
    return false;
}

} // namespace vantiro
