// The remote listing's sort against a literal exchange sort: folders first, then files, each in
// the order an exchange sort over the lower-cased names leaves them, including the order of
// names that differ only in letter case.
// Input: entries separated by "\n", each an attribute byte followed by the name.
#include "FuzzInput.h"
#include "core/ftp/RemoteListing.h"
#include "core/ftp/RemoteName.h"

#include <utility>

using namespace vantiro;

namespace {

// Compares every pair (i, j) and swaps whenever key j > key i.
void literalExchangeSort(std::vector<FtpEntry>& entries)
{
    for (std::size_t i = 0; i < entries.size(); ++i) {
        for (std::size_t j = 0; j < entries.size(); ++j) {
            if (NameSortKey(entries[j].name, RemoteListing::NameFieldWidth) >
                NameSortKey(entries[i].name, RemoteListing::NameFieldWidth))
                std::swap(entries[i], entries[j]);
        }
    }
}

std::string describe(const std::vector<FtpEntry>& entries)
{
    std::string text;
    for (const FtpEntry& entry : entries)
        text += std::to_string(entry.attributes) + ":" + entry.name + "|";
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 8192)
        return 0; // the literal sort is quadratic
    RemoteListing listing;
    std::uint64_t counter = 0;
    for (const std::string& line :
         fuzz::split(std::string_view(reinterpret_cast<const char*>(data), size), '\n')) {
        if (line.empty())
            continue;
        FtpEntry entry;
        const auto kind = static_cast<unsigned char>(line[0]);
        entry.attributes = kind % 3 == 0   ? FtpEntry::directoryAttribute
                           : kind % 3 == 1 ? FtpEntry::normalAttribute
                                           : kind; // any other bits, as a server may send
        entry.size = counter++;                    // tells apart entries of the same name
        entry.name = line.substr(1);
        listing.AddListingEntry(entry);
    }

    std::vector<FtpEntry> folders;
    std::vector<FtpEntry> files;
    for (std::size_t i = 0; i < listing.EntryCount(); ++i)
        (RemoteListing::IsFolder(listing.Record(i)) ? folders : files).push_back(listing.Record(i));
    literalExchangeSort(folders);
    literalExchangeSort(files);
    std::vector<FtpEntry> expected = std::move(folders);
    expected.insert(expected.end(), files.begin(), files.end());

    listing.SortListing();
    std::vector<FtpEntry> sorted;
    for (std::size_t i = 0; i < listing.EntryCount(); ++i)
        sorted.push_back(listing.Record(i));
    if (sorted.size() != expected.size())
        fuzz::fail("entry count", std::to_string(expected.size()), std::to_string(sorted.size()));
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (sorted[i].name != expected[i].name || sorted[i].size != expected[i].size ||
            sorted[i].attributes != expected[i].attributes)
            fuzz::fail("sorted listing", describe(expected), describe(sorted));
    }
    return 0;
}
