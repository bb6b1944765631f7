#pragma once

#include <string>
#include <string_view>

namespace vantiro {

// The features a server's FEAT reply lists, one per line, each indented by a blank.
class FtpFeatureList final {
public:
    explicit FtpFeatureList(std::string featReply) : reply_(std::move(featReply)) {}

    // True when a line names feature as its first word ("UTF8", "MLST type*;size*;").
    bool has(std::string_view feature) const;

private:
    std::string reply_;
};

} // namespace vantiro
