#pragma once

#include <string>

namespace vantiro {

// The texts a generation run shows (UTF-8 display texts).
struct RunMessages {
    static std::string sponsorlink();
    static std::string pixelMissing(const std::string& programFolder);
    static std::string keywordFileUnreadable(const std::string& path);
    static std::string keywordFileEmpty(const std::string& path);
    static std::string keywordFileBinary(const std::string& path, long long line);
    static std::string keywordLineTooLong(const std::string& path, long long line);
    static std::string outputFolderMissing(const std::string& folder);
    static std::string completed(const std::string& outputFolder);
    static std::string incomplete(const std::string& outputFolder, int failedFiles,
                                  const std::string& firstFailedFile);
};

} // namespace vantiro
