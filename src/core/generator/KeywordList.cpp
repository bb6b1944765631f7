#include "core/generator/KeywordList.h"

#include "core/files/RegularFile.h"
#include "core/text/TextCleaning.h"

#include <cerrno>
#include <unistd.h>

namespace vantiro {
namespace {

// Builds one trimmed line with bounded memory: blanks are only counted until a non-blank
// follows them, so a line of a million blanks costs nothing.
class LineTrimmer final {
public:
    bool add(char c)
    {
        if (c == ' ') {
            if (!text_.empty())
                ++pendingBlanks_;
            return true;
        }
        if (text_.size() + pendingBlanks_ + 1 > KeywordList::maxKeywordLength)
            return false;
        text_.append(pendingBlanks_, ' ');
        pendingBlanks_ = 0;
        text_ += c;
        return true;
    }

    std::string take()
    {
        pendingBlanks_ = 0;
        return std::move(text_);
    }

private:
    std::string text_;
    size_t pendingBlanks_ = 0;
};

} // namespace

KeywordList KeywordList::fromLines(const std::vector<std::string>& lines)
{
    KeywordList list;
    for (const std::string& line : lines) {
        const std::string_view trimmed = trim(line);
        if (!trimmed.empty())
            list.add(std::string(trimmed));
    }
    return list;
}

void KeywordList::add(std::string keyword)
{
    markup_.push_back(keyword.find('<') != std::string::npos);
    keywords_.push_back(std::move(keyword));
}

KeywordList::ReadResult KeywordList::read(const std::string& path)
{
    keywords_.clear();
    markup_.clear();
    const int fd = RegularFile::openForReading(path);
    if (fd < 0)
        return {Status::CannotOpen, 0};

    ReadResult result;
    LineTrimmer line;
    long long lineNumber = 1;
    bool afterCr = false;
    char buffer[65536];
    auto endLine = [&] {
        std::string keyword = line.take();
        if (!keyword.empty())
            add(std::move(keyword));
        ++lineNumber;
    };

    while (result.status == Status::Ok && count() < maxKeywords) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            result = {Status::CannotOpen, 0};
        if (got <= 0)
            break;
        for (ssize_t i = 0; i < got && count() < maxKeywords; ++i) {
            const char c = buffer[i];
            if (afterCr && c == '\n') {
                afterCr = false;
                continue;
            }
            afterCr = c == '\r';
            if (c == '\r') {
                endLine();
            } else if (c == '\0') {
                result = {Status::Binary, lineNumber};
                break;
            } else if (!line.add(c)) {
                result = {Status::LineTooLong, lineNumber};
                break;
            }
        }
    }
    // A last line without a line end counts too; an empty one adds nothing.
    if (result.status == Status::Ok && count() < maxKeywords)
        endLine();
    ::close(fd);
    if (result.status == Status::Ok && keywords_.empty())
        result.status = Status::NoKeywords;
    return result;
}

} // namespace vantiro
