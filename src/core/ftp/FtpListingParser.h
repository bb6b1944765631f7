#pragma once

#include "core/ftp/FtpClient.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vantiro {

// Turns a folder listing into entries: MLSD lines (machine-readable facts, times in UTC) and LIST
// lines in the Unix "ls -l" and the DOS/IIS formats. A folder gets the attribute 16, anything
// else 128, plus 1 for a file the server marks read-only. Lines that describe no entry
// ("total 12", blank lines, the folder itself and its parent in MLSD) are left out.
class FtpListingParser final {
public:
    // now (UTC) decides the year of LIST dates that carry none and the century of two-digit years.
    explicit FtpListingParser(const FtpTime& now);

    static std::vector<FtpEntry> parseMlsd(std::string_view listing);
    std::vector<FtpEntry> parseList(std::string_view listing) const;

    // One line, with or without its line end.
    static std::optional<FtpEntry> parseMlsdLine(std::string_view line);
    std::optional<FtpEntry> parseListLine(std::string_view line) const;

    static FtpTime timeFromUnixSeconds(std::int64_t seconds);
    // 0 Sunday to 6 Saturday.
    static int dayOfWeek(int year, int month, int day);

private:
    std::optional<FtpEntry> parseUnixLine(std::string_view line) const;
    std::optional<FtpEntry> parseDosLine(std::string_view line) const;
    int yearForDateWithoutYear(int month, int day, int hour, int minute) const;
    int yearFromTwoDigits(int twoDigits) const;

    FtpTime now_;
};

} // namespace vantiro
