#pragma once

#include <string>
#include <vector>

namespace vantiro {

// The keywords of one run, numbered from 1, each trimmed and non-empty.
class KeywordList final {
public:
    static constexpr int maxKeywords = 32000;
    // The keyword dialog takes no more than this, so every file it writes can be read. Longer
    // lines are refused: a keyword is drawn about three times per link and a million links make
    // a run, so a huge line would make every page huge.
    static constexpr size_t maxKeywordLength = 32000;

    enum class Status { Ok, CannotOpen, NoKeywords, Binary, LineTooLong };

    struct ReadResult {
        Status status = Status::Ok;
        long long lineNumber = 0; // the offending line for Binary and LineTooLong
    };

    // Reads up to maxKeywords non-blank lines; lines end at CR LF or a lone CR, a lone LF stays
    // in its line. The rest of a longer file is not read. Anything but a regular file (a folder,
    // a named pipe, a device) cannot be opened.
    ReadResult read(const std::string& path);

    // For tests and callers that already have keywords; each entry is trimmed, blanks dropped.
    static KeywordList fromLines(const std::vector<std::string>& lines);

    int count() const { return static_cast<int>(keywords_.size()); }
    // Entry 1 to count(); with no keywords, entry 1 is an empty text.
    const std::string& at(int number) const
    {
        return inRange(number) ? keywords_[static_cast<size_t>(number - 1)] : empty_;
    }
    // True when the entry holds a "<" and so might take part in a placeholder.
    bool hasMarkup(int number) const
    {
        return inRange(number) && markup_[static_cast<size_t>(number - 1)];
    }

private:
    bool inRange(int number) const { return number >= 1 && number <= count(); }
    void add(std::string keyword);

    static inline const std::string empty_;

    std::vector<std::string> keywords_;
    std::vector<char> markup_;
};

} // namespace vantiro
