#include "core/generator/PageNames.h"

#include "core/generator/KeywordList.h"
#include "core/generator/Random.h"
#include "core/generator/TextCase.h"
#include "core/generator/modGeneral.h"

#include <unordered_set>

namespace vantiro {
namespace {

constexpr std::string_view extension = ".htm";

class NameRegister final {
public:
    NameRegister() { taken_.insert("_keyliste.htm"); }

    std::string claim(const std::string& name)
    {
        std::string unique = name;
        const std::string stem = name.substr(0, name.size() - extension.size());
        for (int number = 2; !taken_.insert(LowerCp1252(unique)).second; ++number)
            unique = stem + "_" + std::to_string(number) + std::string(extension);
        return unique;
    }

private:
    std::unordered_set<std::string> taken_;
};

std::string numberedName(int page)
{
    return "file" + std::to_string(page) + std::string(extension);
}

} // namespace

std::vector<std::string> MakePageNames(int pageCount, bool keywordNames,
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
            name = SanitizeFileName(keyword);
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
