#include "core/generator/PageNames.h"

#include "core/generator/KeywordList.h"
#include "core/generator/Random.h"
#include "core/generator/TextCase.h"
#include "core/text/TextCleaning.h"

#include <unordered_set>

namespace vantiro {
namespace {

constexpr std::string_view extension = ".htm";

class NameRegister final {
public:
    NameRegister() { taken_.insert("_keyliste.htm"); }

    // The name itself when it is free, else the stem with "_2", "_3", ... The stem is shortened
    // so that the whole name fits the file system. Cleaned names hold ASCII only, so every byte
    // is a whole character, in Windows-1252 and in UTF-8 alike.
    std::string claim(const std::string& name)
    {
        const std::string stem = name.substr(0, name.size() - extension.size());
        for (int number = 1;; ++number) {
            const std::string suffix = number == 1 ? "" : "_" + std::to_string(number);
            const size_t room = maxPageNameBytes - extension.size() - suffix.size();
            std::string unique = stem.substr(0, room) + suffix + std::string(extension);
            if (taken_.insert(lowerCp1252(unique)).second)
                return unique;
        }
    }

private:
    std::unordered_set<std::string> taken_;
};

std::string numberedName(int page)
{
    return "file" + std::to_string(page) + std::string(extension);
}

} // namespace

std::vector<std::string> makePageNames(int pageCount, bool keywordNames,
                                       const KeywordList& keywords, Random& random)
{
    NameRegister names;
    std::vector<std::string> result;
    result.reserve(static_cast<size_t>(pageCount));
    for (int page = 1; page <= pageCount; ++page) {
        std::string name;
        if (page == 1) {
            name = "vorschau.htm";
        } else if (keywordNames) {
            const std::string& keyword = keywords.at(random.pick(keywords.count()));
            name = sanitizeFileName(keyword);
            // A leading dot would hide the page and its image from file lists and uploads.
            name.erase(0, name.find_first_not_of('.'));
            name = name.empty() ? numberedName(page) : name + std::string(extension);
        } else {
            name = numberedName(page);
        }
        result.push_back(names.claim(name));
    }
    return result;
}

} // namespace vantiro
