#include "core/ftp/FtpListingParser.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace vantiro {
namespace {

FtpTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return FtpTime{year, month,  day,   FtpListingParser::dayOfWeek(year, month, day),
                   hour, minute, second};
}

// "2002-09-02 14:05:59 weekday 1", so that a mismatch shows every field at once.
std::string describe(const FtpTime& time)
{
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d weekday %d", time.year,
                  time.month, time.day, time.hour, time.minute, time.second, time.dayOfWeek);
    return text;
}

FtpEntry parsedList(const FtpListingParser& parser, std::string_view line)
{
    const auto entry = parser.parseListLine(line);
    EXPECT_TRUE(entry.has_value()) << line;
    return entry.value_or(FtpEntry{});
}

TEST(FtpListingParserTest, DayOfWeekAndUnixTimeGiveCalendarDates)
{
    EXPECT_EQ(FtpListingParser::dayOfWeek(2002, 9, 2), 1);
    EXPECT_EQ(FtpListingParser::dayOfWeek(2003, 1, 1), 3);
    EXPECT_EQ(FtpListingParser::dayOfWeek(2000, 2, 29), 2);
    EXPECT_EQ(FtpListingParser::dayOfWeek(1969, 12, 31), 3);
    EXPECT_EQ(FtpListingParser::dayOfWeek(2100, 3, 1), 1);

    EXPECT_EQ(describe(FtpListingParser::timeFromUnixSeconds(1030975559)),
              describe(at(2002, 9, 2, 14, 5, 59)));
    EXPECT_EQ(describe(FtpListingParser::timeFromUnixSeconds(0)), describe(at(1970, 1, 1)));
    EXPECT_EQ(describe(FtpListingParser::timeFromUnixSeconds(-1)),
              describe(at(1969, 12, 31, 23, 59, 59)));
    EXPECT_EQ(describe(FtpListingParser::timeFromUnixSeconds(2147483648)),
              describe(at(2038, 1, 19, 3, 14, 8)));
}

TEST(FtpListingParserTest, MlsdLinesGiveAttributesSizeAndUtcTime)
{
    const auto file = FtpListingParser::parseMlsdLine(
        "modify=20020902140559;perm=radfwMT;size=1234;type=file;unique=fe00g; Index.htm\r\n");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->name, "Index.htm");
    EXPECT_EQ(file->attributes, 128u);
    EXPECT_EQ(file->size, 1234u);
    EXPECT_EQ(describe(file->lastWrite), describe(at(2002, 9, 2, 14, 5, 59)));

    const auto readOnly =
        FtpListingParser::parseMlsdLine("Type=File;Size=7;Perm=r;Modify=20030101000000.123; a");
    ASSERT_TRUE(readOnly);
    EXPECT_EQ(readOnly->attributes, 129u) << "a file without the w permission is read-only";
    EXPECT_EQ(describe(readOnly->lastWrite), describe(at(2003, 1, 1)));

    const auto noPerm = FtpListingParser::parseMlsdLine("type=file;size=3; b");
    ASSERT_TRUE(noPerm);
    EXPECT_EQ(noPerm->attributes, 128u) << "no perm fact says nothing about write access";

    const auto folder =
        FtpListingParser::parseMlsdLine("type=dir;sizd=4096;perm=el;modify=20240229235900; images");
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->attributes, 16u) << "a folder is always exactly 16";
    EXPECT_EQ(describe(folder->lastWrite), describe(at(2024, 2, 29, 23, 59, 0)));
}

TEST(FtpListingParserTest, MlsdKeepsNamesWithBlanksAndSemicolonsAndSkipsFolderItself)
{
    const std::string listing = "type=cdir;modify=20240101000000; .\r\n"
                                "type=pdir;modify=20240101000000; ..\r\n"
                                "type=cdir; /www/htdocs\r\n"
                                "type=file;size=1; my page;v2.htm \r\n"
                                "\r\n"
                                "no facts here\r\n"
                                "type=file;size=2;  leading blank\r\n"
                                "type=OS.unix=slink:/etc; link\r\n";
    const auto entries = FtpListingParser::parseMlsd(listing);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "my page;v2.htm ");
    EXPECT_EQ(entries[1].name, " leading blank") << "the name begins after the first blank";
    EXPECT_EQ(entries[2].name, "link");
    EXPECT_EQ(entries[2].attributes, 128u);
}

TEST(FtpListingParserTest, UnixLinesGiveFoldersFilesReadOnlyAndLinks)
{
    const FtpListingParser parser(at(2024, 3, 10, 12, 0));
    const FtpEntry folder =
        parsedList(parser, "drwxr-xr-x   2 web      users        4096 Sep  2 14:05 images\r");
    EXPECT_EQ(folder.name, "images");
    EXPECT_EQ(folder.attributes, 16u);

    const FtpEntry file =
        parsedList(parser, "-rw-r--r--   1 web      users        1234 Sep  2  2002 Index.htm");
    EXPECT_EQ(file.name, "Index.htm");
    EXPECT_EQ(file.attributes, 128u);
    EXPECT_EQ(file.size, 1234u);
    EXPECT_EQ(describe(file.lastWrite), describe(at(2002, 9, 2)))
        << "a date without a time is 0:00";

    EXPECT_EQ(parsedList(parser, "-r--r--r--   1 web users 1 Jan  1  2020 locked").attributes,
              129u);
    EXPECT_EQ(parsedList(parser, "-rw-r--r-- 1 ftp 99 Jan 1 2020 no group.htm").name,
              "no group.htm");
    EXPECT_EQ(parsedList(parser, "-rw-r--r-- 1 Jan 12 5 Feb 3 2021 owner like a date").name,
              "owner like a date");
    EXPECT_EQ(parsedList(parser, "-rw-r--r--+ 1 a b 5 Feb  3  2021  two blanks").name,
              " two blanks");

    const FtpEntry link = parsedList(parser, "lrwxrwxrwx 1 a b 11 Jan 1 2020 www -> public_html");
    EXPECT_EQ(link.name, "www");
    EXPECT_EQ(link.attributes, 128u);

    const FtpEntry iso = parsedList(parser, "-rw-r--r-- 1 a b 17 2002-09-02 14:05 iso.htm");
    EXPECT_EQ(iso.name, "iso.htm");
    EXPECT_EQ(describe(iso.lastWrite), describe(at(2002, 9, 2, 14, 5)));

    const auto entries = parser.parseList("total 12\r\n"
                                          "drwxr-xr-x 2 a b 4096 Sep  2 14:05 .\r\n"
                                          "drwxr-xr-x 2 a b 4096 Sep  2 14:05 ..\r\n"
                                          "-rw-r--r-- 1 a b 1 Sep  2 14:05\r\n"
                                          "garbage line\r\n"
                                          "-rw-r--r-- 1 a b 1 Feb 30 14:05 bad date\r\n");
    ASSERT_EQ(entries.size(), 2u) << "the server's own . and .. stay, broken lines go";
    EXPECT_EQ(entries[0].name, ".");
    EXPECT_EQ(entries[1].name, "..");
}

TEST(FtpListingParserTest, UnixDateWithoutYearLiesInTheLastTwelveMonths)
{
    const FtpListingParser parser(at(2024, 3, 10, 12, 0));
    auto timeOf = [&](std::string_view date) {
        return parsedList(parser, "-rw-r--r-- 1 a b 1 " + std::string(date) + " f").lastWrite;
    };
    EXPECT_EQ(describe(timeOf("Sep  2 14:05")), describe(at(2023, 9, 2, 14, 5)));
    EXPECT_EQ(describe(timeOf("Mar 10 11:00")), describe(at(2024, 3, 10, 11, 0)));
    EXPECT_EQ(describe(timeOf("Mar 10 20:00")), describe(at(2024, 3, 10, 20, 0)))
        << "a server clock some hours ahead of UTC still means this year";
    EXPECT_EQ(describe(timeOf("Mar 12 10:00")), describe(at(2023, 3, 12, 10, 0)));
    EXPECT_EQ(describe(timeOf("Jan  1 00:00")), describe(at(2024, 1, 1)));

    const FtpListingParser newYear(at(2025, 1, 1, 0, 30));
    EXPECT_EQ(parsedList(newYear, "-rw-r--r-- 1 a b 1 Dec 31 23:00 f").lastWrite.year, 2024);
    EXPECT_EQ(parsedList(newYear, "-rw-r--r-- 1 a b 1 Jan  1 08:00 f").lastWrite.year, 2025);

    const FtpListingParser afterLeapYear(at(2025, 3, 1, 12, 0));
    EXPECT_EQ(describe(parsedList(afterLeapYear, "-rw-r--r-- 1 a b 1 Feb 29 10:00 f").lastWrite),
              describe(at(2024, 2, 29, 10, 0)));
}

TEST(FtpListingParserTest, DosLinesGiveFoldersFilesAndTwelveHourTimes)
{
    const FtpListingParser parser(at(2024, 3, 10, 12, 0));
    const FtpEntry folder = parsedList(parser, "09-02-02  02:05PM       <DIR>          images");
    EXPECT_EQ(folder.name, "images");
    EXPECT_EQ(folder.attributes, 16u);
    EXPECT_EQ(describe(folder.lastWrite), describe(at(2002, 9, 2, 14, 5)));

    const FtpEntry file = parsedList(parser, "09-02-02  12:05AM                 1234 Index.htm\r");
    EXPECT_EQ(file.name, "Index.htm");
    EXPECT_EQ(file.attributes, 128u);
    EXPECT_EQ(file.size, 1234u);
    EXPECT_EQ(describe(file.lastWrite), describe(at(2002, 9, 2, 0, 5)));

    EXPECT_EQ(describe(parsedList(parser, "01-01-03  12:30PM  5 noon.htm").lastWrite),
              describe(at(2003, 1, 1, 12, 30)));
    EXPECT_EQ(describe(parsedList(parser, "12-31-99  11:59 PM  5 separate.htm").lastWrite),
              describe(at(1999, 12, 31, 23, 59)));
    const FtpEntry fourDigits = parsedList(parser, "09-02-2002  14:05   77 my page.htm");
    EXPECT_EQ(fourDigits.name, "my page.htm");
    EXPECT_EQ(describe(fourDigits.lastWrite), describe(at(2002, 9, 2, 14, 5)));
    EXPECT_EQ(parsedList(parser, "03-01-44  01:00AM  1 f").lastWrite.year, 2044);
    EXPECT_EQ(parsedList(parser, "03-01-45  01:00AM  1 f").lastWrite.year, 1945);

    EXPECT_FALSE(parser.parseListLine("13-02-02  02:05PM  1 bad month"));
    EXPECT_FALSE(parser.parseListLine("09-02-02  13:05PM  1 bad hour"));
    EXPECT_FALSE(parser.parseListLine("09-02-02  02:05PM  <DIR>"));
}

} // namespace
} // namespace vantiro
