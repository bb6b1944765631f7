// The FTP listing parser on whatever a server sends: no crash, and every entry it accepts is
// one the window can show: a name within its line, a folder or file attribute, a real date.
// The first byte picks MLSD or LIST.
#include "FuzzInput.h"
#include "core/ftp/FtpListingParser.h"

using namespace vantiro;

namespace {

void checkEntry(const FtpEntry& entry)
{
    fuzz::check(!entry.name.empty(), "entry has a name");
    // displayLines end at LF; any other byte may belong to a name.
    fuzz::check(entry.name.find('\n') == std::string::npos, "name within its line", entry.name);
    const std::uint32_t a = entry.attributes;
    fuzz::check(a == FtpEntry::directoryAttribute || a == FtpEntry::normalAttribute ||
                    a == (FtpEntry::normalAttribute | FtpEntry::readOnlyAttribute),
                "folder or file attribute", std::to_string(a));
    const FtpTime& t = entry.lastWrite;
    if (t.year == 0 && t.month == 0 && t.day == 0)
        return; // no time given
    fuzz::check(t.month >= 1 && t.month <= 12, "month", std::to_string(t.month));
    fuzz::check(t.day >= 1 && t.day <= 31, "day", std::to_string(t.day));
    fuzz::check(t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 && t.second >= 0 &&
                    t.second <= 60,
                "time of day", std::to_string(t.hour) + ":" + std::to_string(t.minute));
    fuzz::check(t.dayOfWeek == FtpListingParser::dayOfWeek(t.year, t.month, t.day),
                "weekday fits the date", std::to_string(t.dayOfWeek));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view listing(reinterpret_cast<const char*>(data) + 1, size - 1);
    FtpTime now;
    now.year = 2026;
    now.month = 12;
    now.day = 6;
    now.hour = 13;
    const FtpListingParser parser(now);
    const std::vector<FtpEntry> entries =
        data[0] & 1 ? FtpListingParser::parseMlsd(listing) : parser.parseList(listing);
    for (const FtpEntry& entry : entries)
        checkEntry(entry);
    return 0;
}
