#include "core/ftp/RemoteListing.h"

#include "core/ftp/ExchangeSort.h"
#include "core/ftp/RemoteName.h"
#include "core/text/TextCleaning.h"

#include <array>
#include <iterator>
#include <utility>

namespace vantiro {
namespace {

// The name as a fixed name field would hold it: up to the first NUL, and nothing when the
// name fills the whole field so that no NUL ends it.
std::string nameInField(const std::string& name)
{
    const std::string cut = name.substr(0, name.find('\0'));
    return cut.size() >= RemoteListing::nameFieldWidth ? std::string() : cut;
}

// Keys ascending, names that differ only in letter case in the order the listing's exchange
// sort leaves them in (see exchangeSortOrder).
void exchangeSort(std::vector<FtpEntry>& entries)
{
    std::vector<std::u32string> keys;
    keys.reserve(entries.size());
    for (const FtpEntry& entry : entries)
        keys.push_back(nameSortKey(entry.name));
    const std::vector<std::size_t> order = exchangeSortOrder(keys);
    keys = {};
    std::vector<FtpEntry> sorted;
    sorted.reserve(entries.size());
    for (const std::size_t index : order)
        sorted.push_back(std::move(entries[index]));
    entries = std::move(sorted);
}

} // namespace

RemoteListing::RemoteListing() : records_(1) {}

void RemoteListing::clear()
{
    records_.assign(1, FtpEntry{});
    leftOut_ = 0;
}

void RemoteListing::addEntry(FtpEntry findData)
{
    const std::string name(trim(nameInField(findData.name)));
    if (name.empty())
        return;
    findData.name = name;
    records_.back() = std::move(findData);
    records_.emplace_back();
}

bool RemoteListing::readCurrentFolder(FtpClient& client, std::string_view pattern)
{
    clear();
    std::vector<FtpEntry> found;
    const bool ok = client.findFiles(searchPattern(pattern), found);
    fill(std::move(found));
    return ok;
}

std::string RemoteListing::searchPattern(std::string_view filter)
{
    return std::string(trim(filter));
}

void RemoteListing::fill(std::vector<FtpEntry> found)
{
    clear();
    // The last record read stays in the find record; the added "." and ".." take their size
    // and time from it, as the find functions leave it.
    FtpEntry findData;
    for (FtpEntry& entry : found) {
        if (entryCount() == maxEntries) {
            ++leftOut_;
            continue;
        }
        findData = std::move(entry);
        addEntry(findData);
    }
    addDotEntries(findData);
}

// Listings by MLSD never hold "." and ".." and may begin with a hidden file, so the entries are
// looked for by name rather than taken from the first line: a folder always offers the way up,
// and one whose server lists the dot entries itself does not show them twice.
void RemoteListing::addDotEntries(FtpEntry findData)
{
    bool hasDot = false;
    bool hasDotDot = false;
    for (std::size_t i = 0; i < entryCount(); ++i) {
        hasDot = hasDot || records_[i].name == ".";
        hasDotDot = hasDotDot || records_[i].name == "..";
    }
    findData.attributes = FtpEntry::directoryAttribute;
    for (const auto& [present, name] : {std::pair{hasDot, "."}, std::pair{hasDotDot, ".."}}) {
        if (present)
            continue;
        findData.name = name;
        addEntry(findData);
    }
}

void RemoteListing::sortListing()
{
    std::vector<FtpEntry> folders;
    std::vector<FtpEntry> files;
    for (std::size_t i = 0; i < entryCount(); ++i)
        (isFolder(records_[i]) ? folders : files).push_back(std::move(records_[i]));
    exchangeSort(folders);
    exchangeSort(files);
    records_.clear();
    records_.reserve(folders.size() + files.size() + 1);
    std::move(folders.begin(), folders.end(), std::back_inserter(records_));
    std::move(files.begin(), files.end(), std::back_inserter(records_));
    records_.emplace_back();
}

std::vector<std::string> RemoteListing::displayLines() const
{
    std::vector<std::string> lines;
    lines.reserve(entryCount());
    for (std::size_t i = 0; i < entryCount(); ++i) {
        const FtpEntry& entry = records_[i];
        lines.push_back(isFolder(entry) ? upperCaseText(entry.name) : lowerCaseText(entry.name));
    }
    return lines;
}

bool RemoteListing::isFolder(const FtpEntry& entry)
{
    return entry.attributes == FtpEntry::directoryAttribute;
}

std::string attributeLetters(std::uint32_t attributes)
{
    static constexpr std::array<std::pair<std::uint32_t, char>, 8> letters = {{
        {1, 'W'},
        {2, 'H'},
        {4, 'S'},
        {16, 'D'},
        {32, 'A'},
        {128, 'N'},
        {256, 'T'},
        {2048, 'C'},
    }};
    std::string text;
    for (const auto& [bit, letter] : letters) {
        if ((attributes & bit) == 0)
            continue;
        if (!text.empty())
            text += ' ';
        text += letter;
    }
    return text;
}

std::string formatFileTime(const FtpTime& time)
{
    static constexpr std::array<const char*, 7> weekdays = {"So", "Mo", "Di", "Mi",
                                                            "Do", "Fr", "Sa"};
    const bool knownWeekday = time.dayOfWeek >= 0 && time.dayOfWeek <= 6;
    std::string text = knownWeekday ? weekdays[static_cast<std::size_t>(time.dayOfWeek)] : "";
    text += ' ' + std::to_string(time.day) + '.' + std::to_string(time.month) + '.' +
            std::to_string(time.year) + " um " + std::to_string(time.hour) + ':';
    if (time.minute < 10)
        text += '0';
    text += std::to_string(time.minute);
    return text;
}

} // namespace vantiro
