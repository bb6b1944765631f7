// Keyword reading against a plain reading of the same bytes: lines end at CR LF or a lone CR,
// blanks are trimmed, empty lines dropped, at most 32000 keywords, a NUL or an overlong line
// refuses the file.
#include "FuzzInput.h"
#include "core/generator/KeywordList.h"

#include <unistd.h>

using namespace vantiro;

namespace {

struct Expected {
    KeywordList::Status status = KeywordList::Status::Ok;
    std::vector<std::string> keywords;
};

std::string trimmed(const std::string& line)
{
    const std::size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return line.substr(first, line.find_last_not_of(' ') - first + 1);
}

Expected plainReading(const std::string& bytes)
{
    Expected expected;
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            lines.emplace_back();
        } else {
            lines.back() += bytes[i];
        }
    }
    for (const std::string& line : lines) {
        if (static_cast<int>(expected.keywords.size()) == KeywordList::maxKeywords)
            break;
        const std::string keyword = trimmed(line);
        if (const std::size_t nul = line.find('\0'); nul != std::string::npos) {
            // Whichever comes first: a keyword grown too long, or the NUL.
            const bool tooLongFirst =
                trimmed(line.substr(0, nul)).size() > KeywordList::maxKeywordLength;
            return {tooLongFirst ? KeywordList::Status::LineTooLong : KeywordList::Status::Binary,
                    {}};
        }
        if (keyword.size() > KeywordList::maxKeywordLength)
            return {KeywordList::Status::LineTooLong, {}};
        if (!keyword.empty())
            expected.keywords.push_back(keyword);
    }
    if (expected.keywords.empty())
        expected.status = KeywordList::Status::NoKeywords;
    return expected;
}

std::string keywordFile()
{
    static const std::string path = [] {
        const char* folder = std::getenv("TMPDIR");
        return std::string(folder && *folder ? folder : "/tmp") + "/vantiro-fuzz-keywords-" +
               std::to_string(::getpid()) + ".vrk";
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = keywordFile();
    {
        FILE* file = std::fopen(path.c_str(), "wb");
        if (!file)
            return 0;
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    KeywordList list;
    const KeywordList::ReadResult result = list.read(path);
    std::remove(path.c_str());

    const Expected expected = plainReading(bytes);
    if (result.status != expected.status)
        fuzz::fail("status", std::to_string(static_cast<int>(expected.status)),
                   std::to_string(static_cast<int>(result.status)));
    if (result.status != KeywordList::Status::Ok)
        return 0;
    if (list.count() != static_cast<int>(expected.keywords.size()))
        fuzz::fail("keyword count", std::to_string(expected.keywords.size()),
                   std::to_string(list.count()));
    for (int i = 1; i <= list.count(); ++i) {
        const std::string& keyword = expected.keywords[static_cast<std::size_t>(i - 1)];
        if (list.at(i) != keyword)
            fuzz::fail("keyword", keyword, list.at(i));
        if (list.hasMarkup(i) != (keyword.find('<') != std::string::npos))
            fuzz::fail("markup flag", keyword, list.at(i));
    }
    return 0;
}
