#include "core/ftp/FtpListingParser.h"

#include <array>
#include <limits>

namespace vantiro {
namespace {

// Servers write LIST times in their own local time, which can run up to 14 hours ahead of UTC:
// a file changed a moment ago must not look like a date in the future and drop into last year.
constexpr std::int64_t futureToleranceSeconds = 24 * 60 * 60;

struct Token {
    size_t begin = 0;
    size_t end = 0;
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view withoutLineEnd(std::string_view line)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.remove_suffix(1);
    return line;
}

template <typename Handle> void forEachLine(std::string_view text, Handle handle)
{
    while (!text.empty()) {
        const size_t end = text.find('\n');
        handle(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
}

// Whitespace-separated tokens from the start of the line, at most max of them.
std::vector<Token> tokenize(std::string_view line, size_t max)
{
    std::vector<Token> tokens;
    size_t pos = 0;
    while (tokens.size() < max) {
        while (pos < line.size() && isBlank(line[pos]))
            ++pos;
        if (pos == line.size())
            break;
        Token token{pos, pos};
        while (token.end < line.size() && !isBlank(line[token.end]))
            ++token.end;
        tokens.push_back(token);
        pos = token.end;
    }
    return tokens;
}

bool allDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (!isDigit(c))
            return false;
    return true;
}

std::optional<std::uint64_t> parseNumber(std::string_view text)
{
    if (!allDigits(text))
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

int smallNumber(std::string_view digits)
{
    int value = 0;
    for (char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static constexpr std::array<int, 12> days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : days[static_cast<size_t>(month - 1)];
}

// Days since 1970-01-01 of a date in the proleptic Gregorian calendar.
std::int64_t daysFromCivil(int year, int month, int day)
{
    const std::int64_t y = year - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::int64_t secondsOf(int year, int month, int day, int hour, int minute, int second)
{
    return daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
}

std::optional<FtpTime> makeTime(int year, int month, int day, int hour, int minute, int second)
{
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 60)
        return std::nullopt;
    return FtpTime{year, month,  day,   FtpListingParser::dayOfWeek(year, month, day),
                   hour, minute, second};
}

// "YYYYMMDDHHMMSS", possibly followed by fractions of a second, which are dropped.
std::optional<FtpTime> parseMlsdTime(std::string_view value)
{
    if (value.size() < 14 || !allDigits(value.substr(0, 14)))
        return std::nullopt;
    return makeTime(smallNumber(value.substr(0, 4)), smallNumber(value.substr(4, 2)),
                    smallNumber(value.substr(6, 2)), smallNumber(value.substr(8, 2)),
                    smallNumber(value.substr(10, 2)), smallNumber(value.substr(12, 2)));
}

int monthFromName(std::string_view name)
{
    static constexpr std::array<std::string_view, 12> months = {
        "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
    if (name.size() != 3)
        return 0;
    for (size_t i = 0; i < months.size(); ++i) {
        const std::string_view month = months[i];
        if (lowerAscii(name[0]) == month[0] && lowerAscii(name[1]) == month[1] &&
            lowerAscii(name[2]) == month[2])
            return static_cast<int>(i) + 1;
    }
    return 0;
}

// "HH:MM", one or two digits for the hour.
bool parseClock(std::string_view text, int& hour, int& minute)
{
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 2 || text.size() != colon + 3 ||
        !allDigits(text.substr(0, colon)) || !allDigits(text.substr(colon + 1)))
        return false;
    hour = smallNumber(text.substr(0, colon));
    minute = smallNumber(text.substr(colon + 1));
    return true;
}

bool isUnixPermissions(std::string_view text)
{
    static constexpr std::string_view types = "-dlbcpsD";
    static constexpr std::string_view modes = "-rwxsStTlL";
    if (text.size() < 10 || types.find(text[0]) == std::string_view::npos)
        return false;
    for (size_t i = 1; i < 10; ++i)
        if (modes.find(text[i]) == std::string_view::npos)
            return false;
    return true;
}

std::uint32_t fileAttributes(bool readOnly)
{
    return FtpEntry::normalAttribute | (readOnly ? FtpEntry::readOnlyAttribute : 0);
}

struct MlsdFacts {
    std::string type;
    std::optional<std::uint64_t> size;
    std::optional<FtpTime> modify;
    std::optional<std::string> perm;
};

// std::nullopt when a fact is not of the form "name=value": then the line is no MLSD line.
std::optional<MlsdFacts> parseFacts(std::string_view facts)
{
    MlsdFacts result;
    while (!facts.empty()) {
        const size_t end = facts.find(';');
        const std::string_view fact = facts.substr(0, end);
        facts = end == std::string_view::npos ? std::string_view{} : facts.substr(end + 1);
        if (fact.empty())
            continue;
        const size_t equals = fact.find('=');
        if (equals == std::string_view::npos || equals == 0)
            return std::nullopt;
        std::string key;
        for (char c : fact.substr(0, equals))
            key += lowerAscii(c);
        const std::string_view value = fact.substr(equals + 1);
        if (key == "type") {
            for (char c : value)
                result.type += lowerAscii(c);
        } else if (key == "size") {
            result.size = parseNumber(value);
        } else if (key == "modify") {
            result.modify = parseMlsdTime(value);
        } else if (key == "perm") {
            result.perm = std::string(value);
        }
    }
    return result;
}

// The fields after the permissions of an "ls -l" line: size, date and where the name begins.
struct UnixDate {
    std::uint64_t size = 0;
    int year = 0; // 0 when the line gives a time instead of a year
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    size_t nameBegin = 0;
};

// Month-name form at token m: "Sep  2 14:05" or "Sep  2  2002", the size just before it.
std::optional<UnixDate> unixDateAt(std::string_view line, const std::vector<Token>& tokens,
                                   size_t m)
{
    if (m < 2 || m + 2 >= tokens.size())
        return std::nullopt;
    auto text = [&](size_t i) {
        return line.substr(tokens[i].begin, tokens[i].end - tokens[i].begin);
    };
    UnixDate date;
    const auto size = parseNumber(text(m - 1));
    date.month = monthFromName(text(m));
    const std::string_view day = text(m + 1);
    if (!size || date.month == 0 || day.size() > 2 || !allDigits(day))
        return std::nullopt;
    date.size = *size;
    date.day = smallNumber(day);
    const std::string_view yearOrTime = text(m + 2);
    if (yearOrTime.size() == 4 && allDigits(yearOrTime))
        date.year = smallNumber(yearOrTime);
    else if (!parseClock(yearOrTime, date.hour, date.minute))
        return std::nullopt;
    date.nameBegin = tokens[m + 2].end + 1;
    return date;
}

// "ls --time-style=long-iso" form at token m: "2002-09-02 14:05".
std::optional<UnixDate> isoDateAt(std::string_view line, const std::vector<Token>& tokens, size_t m)
{
    if (m < 2 || m + 1 >= tokens.size())
        return std::nullopt;
    const std::string_view date = line.substr(tokens[m].begin, tokens[m].end - tokens[m].begin);
    const std::string_view clock =
        line.substr(tokens[m + 1].begin, tokens[m + 1].end - tokens[m + 1].begin);
    const auto size =
        parseNumber(line.substr(tokens[m - 1].begin, tokens[m - 1].end - tokens[m - 1].begin));
    UnixDate result;
    if (!size || date.size() != 10 || date[4] != '-' || date[7] != '-' ||
        !allDigits(date.substr(0, 4)) || !allDigits(date.substr(5, 2)) ||
        !allDigits(date.substr(8, 2)) || !parseClock(clock, result.hour, result.minute))
        return std::nullopt;
    result.size = *size;
    result.year = smallNumber(date.substr(0, 4));
    result.month = smallNumber(date.substr(5, 2));
    result.day = smallNumber(date.substr(8, 2));
    result.nameBegin = tokens[m + 1].end + 1;
    return result;
}

// Usually "perm links owner group size date", some servers leave out the group; only when neither
// layout fits is the date looked for further along, so that an owner named like a month does not
// mislead the search.
std::optional<UnixDate> findUnixDate(std::string_view line)
{
    const std::vector<Token> tokens = tokenize(line, 9);
    for (size_t m : {size_t{5}, size_t{4}})
        if (auto date = unixDateAt(line, tokens, m))
            return date;
    for (size_t m = 2; m < tokens.size(); ++m) {
        if (auto date = unixDateAt(line, tokens, m))
            return date;
        if (auto date = isoDateAt(line, tokens, m))
            return date;
    }
    return std::nullopt;
}

} // namespace

FtpListingParser::FtpListingParser(const FtpTime& now) : now_(now) {}

std::vector<FtpEntry> FtpListingParser::parseMlsd(std::string_view listing)
{
    std::vector<FtpEntry> entries;
    forEachLine(listing, [&](std::string_view line) {
        if (auto entry = parseMlsdLine(line))
            entries.push_back(std::move(*entry));
    });
    return entries;
}

std::vector<FtpEntry> FtpListingParser::parseList(std::string_view listing) const
{
    std::vector<FtpEntry> entries;
    forEachLine(listing, [&](std::string_view line) {
        if (auto entry = parseListLine(line))
            entries.push_back(std::move(*entry));
    });
    return entries;
}

// MLSD reports the listed folder itself (type cdir) and its parent (pdir), under names that vary
// from server to server: ".", "..", or a full path. They are left out: a LIST of most servers
// does not show them either, and the listing adds its own "." and ".." when the server's first
// entry does not begin with a dot, so keeping them would make the result depend on where in the
// listing the server happens to put them.
std::optional<FtpEntry> FtpListingParser::parseMlsdLine(std::string_view line)
{
    line = withoutLineEnd(line);
    const size_t blank = line.find(' ');
    if (blank == std::string_view::npos || blank + 1 == line.size())
        return std::nullopt;
    const auto parsedFacts = parseFacts(line.substr(0, blank));
    if (!parsedFacts || parsedFacts->type == "cdir" || parsedFacts->type == "pdir")
        return std::nullopt;
    const MlsdFacts& facts = *parsedFacts;

    FtpEntry entry;
    entry.name = std::string(line.substr(blank + 1));
    if (facts.type == "dir") {
        entry.attributes = FtpEntry::directoryAttribute;
    } else {
        // Only the "w" (may write) permission of a file tells whether it can be changed.
        const bool readOnly = facts.perm && facts.perm->find_first_of("wW") == std::string::npos;
        entry.attributes = fileAttributes(readOnly);
        entry.size = facts.size.value_or(0);
    }
    if (facts.modify)
        entry.lastWrite = *facts.modify;
    return entry;
}

std::optional<FtpEntry> FtpListingParser::parseListLine(std::string_view line) const
{
    line = withoutLineEnd(line);
    if (line.empty())
        return std::nullopt;
    return isDigit(line.front()) ? parseDosLine(line) : parseUnixLine(line);
}

std::optional<FtpEntry> FtpListingParser::parseUnixLine(std::string_view line) const
{
    const std::string_view permissions = line.substr(0, line.find_first_of(" \t"));
    if (!isUnixPermissions(permissions))
        return std::nullopt;
    const auto date = findUnixDate(line);
    if (!date || date->nameBegin >= line.size())
        return std::nullopt;

    FtpEntry entry;
    entry.name = std::string(line.substr(date->nameBegin));
    if (permissions[0] == 'l') {
        // A symbolic link lists as "name -> target"; its target may be a folder or a file, which
        // the line does not tell, so it counts as a file.
        const size_t arrow = entry.name.find(" -> ");
        if (arrow != std::string::npos)
            entry.name.resize(arrow);
    }
    if (entry.name.empty())
        return std::nullopt;

    const int year = date->year != 0
                         ? date->year
                         : yearForDateWithoutYear(date->month, date->day, date->hour, date->minute);
    const auto time = makeTime(year, date->month, date->day, date->hour, date->minute, 0);
    if (!time)
        return std::nullopt;
    entry.lastWrite = *time;
    if (permissions[0] == 'd') {
        entry.attributes = FtpEntry::directoryAttribute;
    } else {
        entry.attributes = fileAttributes(permissions[2] != 'w');
        entry.size = date->size;
    }
    return entry;
}

// "09-02-02  02:05PM       <DIR>          images" or "09-02-2002  14:05   1234 index.htm".
std::optional<FtpEntry> FtpListingParser::parseDosLine(std::string_view line) const
{
    const std::vector<Token> tokens = tokenize(line, 4);
    if (tokens.size() < 3)
        return std::nullopt;
    auto text = [&](size_t i) {
        return line.substr(tokens[i].begin, tokens[i].end - tokens[i].begin);
    };

    const std::string_view date = text(0);
    const bool fourDigitYear = date.size() == 10;
    if ((date.size() != 8 && !fourDigitYear) || date[2] != date[5] ||
        (date[2] != '-' && date[2] != '/') || !allDigits(date.substr(0, 2)) ||
        !allDigits(date.substr(3, 2)) || !allDigits(date.substr(6)))
        return std::nullopt;
    const int year = fourDigitYear ? smallNumber(date.substr(6))
                                   : yearFromTwoDigits(smallNumber(date.substr(6)));

    std::string_view clock = text(1);
    size_t sizeToken = 2;
    std::string_view halfDay;
    if (clock.size() > 2 && !isDigit(clock.back())) {
        halfDay = clock.substr(clock.size() - 2);
        clock.remove_suffix(2);
    } else if (tokens.size() > 3 && (text(2) == "AM" || text(2) == "PM")) {
        halfDay = text(2);
        sizeToken = 3;
    }
    int hour = 0;
    int minute = 0;
    if (!parseClock(clock, hour, minute))
        return std::nullopt;
    if (!halfDay.empty()) {
        const bool pm = lowerAscii(halfDay[0]) == 'p';
        if (hour < 1 || hour > 12 || lowerAscii(halfDay[1]) != 'm' ||
            (!pm && lowerAscii(halfDay[0]) != 'a'))
            return std::nullopt;
        hour = hour % 12 + (pm ? 12 : 0);
    }
    const auto time = makeTime(year, smallNumber(date.substr(0, 2)), smallNumber(date.substr(3, 2)),
                               hour, minute, 0);
    if (!time || sizeToken >= tokens.size())
        return std::nullopt;

    FtpEntry entry;
    const std::string_view sizeOrDir = text(sizeToken);
    if (sizeOrDir == "<DIR>") {
        entry.attributes = FtpEntry::directoryAttribute;
    } else if (const auto size = parseNumber(sizeOrDir)) {
        entry.attributes = FtpEntry::normalAttribute;
        entry.size = *size;
    } else {
        return std::nullopt;
    }
    size_t nameBegin = tokens[sizeToken].end;
    while (nameBegin < line.size() && isBlank(line[nameBegin]))
        ++nameBegin;
    if (nameBegin == line.size())
        return std::nullopt;
    entry.name = std::string(line.substr(nameBegin));
    entry.lastWrite = *time;
    return entry;
}

// The latest year in which the date is not later than now; a leap day goes back to a leap year.
int FtpListingParser::yearForDateWithoutYear(int month, int day, int hour, int minute) const
{
    if (month < 1 || month > 12)
        return now_.year;
    const std::int64_t latest =
        secondsOf(now_.year, now_.month, now_.day, now_.hour, now_.minute, now_.second) +
        futureToleranceSeconds;
    for (int year = now_.year + 1; year >= now_.year - 8; --year) {
        if (day <= daysInMonth(year, month) &&
            secondsOf(year, month, day, hour, minute, 0) <= latest)
            return year;
    }
    return now_.year;
}

// Two-digit years fall into the hundred years that end twenty years after now.
int FtpListingParser::yearFromTwoDigits(int twoDigits) const
{
    const int latest = now_.year + 20;
    const int year = latest - ((latest - twoDigits) % 100 + 100) % 100;
    return year;
}

FtpTime FtpListingParser::timeFromUnixSeconds(std::int64_t seconds)
{
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    // Civil date from a day count (proleptic Gregorian calendar).
    const std::int64_t shifted = days + 719468;
    const std::int64_t era = (shifted >= 0 ? shifted : shifted - 146096) / 146097;
    const std::int64_t dayOfEra = shifted - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    const int month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    return FtpTime{year,
                   month,
                   day,
                   dayOfWeek(year, month, day),
                   static_cast<int>(rest / 3600),
                   static_cast<int>(rest % 3600 / 60),
                   static_cast<int>(rest % 60)};
}

int FtpListingParser::dayOfWeek(int year, int month, int day)
{
    // 1970-01-01 was a Thursday.
    const std::int64_t days = daysFromCivil(year, month, day);
    return static_cast<int>(((days + 4) % 7 + 7) % 7);
}

} // namespace vantiro
