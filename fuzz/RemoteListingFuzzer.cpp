// The remote listing's sort against a literal exchange sort: folders first, then files, each in
// the order an exchange sort leaves them, including the order of names whose keys are equal
// (names that differ only in letter case). The order of two names is learnt from the listing
// itself, sorting just those two, so the harness holds whatever keys the listing uses; what it
// checks is the sort of many entries, which is where a fast sort can go wrong.
// Input: entries separated by "\n", each an attribute byte followed by the name.
#include "FuzzInput.h"
#include "core/ftp/RemoteListing.h"

#include <utility>

using namespace vantiro;

namespace {

FtpEntry file(const std::string& name, std::uint64_t tag)
{
    FtpEntry entry;
    entry.attributes = FtpEntry::normalAttribute;
    entry.name = name;
    entry.size = tag;
    return entry;
}

// True when a's key is greater than b's: sorting [a, b] puts b first exactly then.
bool keyGreater(const std::string& a, const std::string& b)
{
    RemoteListing pair;
    pair.addEntry(file(a, 0));
    pair.addEntry(file(b, 1));
    pair.sortListing();
    return pair.record(0).size == 1;
}

// Compares every pair (i, j) and swaps whenever key j > key i.
void literalExchangeSort(std::vector<FtpEntry>& entries)
{
    for (std::size_t i = 0; i < entries.size(); ++i) {
        for (std::size_t j = 0; j < entries.size(); ++j) {
            if (keyGreater(entries[j].name, entries[i].name))
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
    if (size > 1024)
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
        listing.addEntry(entry);
    }

    std::vector<FtpEntry> folders;
    std::vector<FtpEntry> files;
    for (std::size_t i = 0; i < listing.entryCount(); ++i)
        (RemoteListing::isFolder(listing.record(i)) ? folders : files).push_back(listing.record(i));
    literalExchangeSort(folders);
    literalExchangeSort(files);
    std::vector<FtpEntry> expected = std::move(folders);
    expected.insert(expected.end(), files.begin(), files.end());

    listing.sortListing();
    std::vector<FtpEntry> sorted;
    for (std::size_t i = 0; i < listing.entryCount(); ++i)
        sorted.push_back(listing.record(i));
    if (sorted.size() != expected.size())
        fuzz::fail("entry count", std::to_string(expected.size()), std::to_string(sorted.size()));
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (sorted[i].name != expected[i].name || sorted[i].size != expected[i].size ||
            sorted[i].attributes != expected[i].attributes)
            fuzz::fail("sorted listing", describe(expected), describe(sorted));
    }
    return 0;
}
