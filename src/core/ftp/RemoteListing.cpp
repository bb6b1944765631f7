#include "core/ftp/RemoteListing.h"

#include "core/ftp/RemoteName.h"
#include "core/generator/modGeneral.h"

#include <array>
#include <utility>

namespace vantiro {
namespace {

// The name as a fixed name field would hold it: up to the first NUL, and nothing when the
// name fills the whole field so that no NUL ends it.
std::string nameInField(const std::string& name)
{
    const std::string cut = name.substr(0, name.find('\0'));
    return cut.size() >= RemoteListing::NameFieldWidth ? std::string() : cut;
}

// The exchange sort compares every pair (i, j) and swaps whenever key(j) > key(i); it leaves
// the keys ascending, and names that differ only in letter case in the order it happens to
// produce, which the list must reproduce exactly.
void exchangeSort(std::vector<FtpEntry>& entries)
{
    std::vector<std::u32string> keys;
    keys.reserve(entries.size());
    for (const FtpEntry& entry : entries)
        keys.push_back(NameSortKey(entry.name, RemoteListing::NameFieldWidth));
    const std::size_t m = entries.size();
    for (std::size_t i = 0; i < m; ++i) {
        for (std::size_t j = 0; j < m; ++j) {
            if (keys[j] > keys[i]) {
                std::swap(keys[i], keys[j]);
                std::swap(entries[i], entries[j]);
            }
        }
    }
}

} // namespace

RemoteListing::RemoteListing() : records_(1) {}

void RemoteListing::Clear()
{
    records_.assign(1, FtpEntry{});
}

void RemoteListing::AddListingEntry(FtpEntry findData)
{
    const std::string name(Trim(nameInField(findData.name)));
    if (name.empty())
        return;
    findData.name = name;
    records_.back() = std::move(findData);
    records_.emplace_back();
}

bool RemoteListing::ReadCurrentFolder(FtpClient& client, std::string_view pattern)
{
    Clear();
    std::vector<FtpEntry> found;
    const bool ok = client.findFiles(std::string(Trim(pattern)), found);
    // The last record read stays in the find record; the added "." and ".." take their size
    // and time from it, as the find functions leave it.
    FtpEntry findData;
    for (const FtpEntry& entry : found) {
        findData = entry;
        AddListingEntry(findData);
    }
    if (!records_.front().name.starts_with('.'))
        addDotEntries(findData);
    return ok;
}

void RemoteListing::addDotEntries(FtpEntry findData)
{
    findData.attributes = FtpEntry::directoryAttribute;
    findData.name = ".";
    AddListingEntry(findData);
    findData.name = "..";
    AddListingEntry(findData);
}

void RemoteListing::SortListing()
{
    std::vector<FtpEntry> folders;
    std::vector<FtpEntry> files;
    for (std::size_t i = 0; i < EntryCount(); ++i)
        (IsFolder(records_[i]) ? folders : files).push_back(records_[i]);
    exchangeSort(folders);
    exchangeSort(files);
    Clear();
    records_.insert(records_.begin(), files.begin(), files.end());
    records_.insert(records_.begin(), folders.begin(), folders.end());
}

std::vector<std::string> RemoteListing::Lines() const
{
    std::vector<std::string> lines;
    lines.reserve(EntryCount());
    for (std::size_t i = 0; i < EntryCount(); ++i) {
        const FtpEntry& entry = records_[i];
        lines.push_back(IsFolder(entry) ? UpperCaseName(entry.name) : LowerCaseName(entry.name));
    }
    return lines;
}

bool RemoteListing::IsFolder(const FtpEntry& entry)
{
    return entry.attributes == FtpEntry::directoryAttribute;
}

std::string AttributeLetters(std::uint32_t attributes)
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

std::string FormatFileTime(const FtpTime& time)
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
