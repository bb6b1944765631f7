#include "core/generator/PageWriter.h"

#include "core/generator/KeywordList.h"
#include "core/generator/Random.h"
#include "core/generator/SpiderLinks.h"
#include "core/generator/TextCase.h"
#include "core/generator/TextFile.h"
#include "core/text/TextCleaning.h"

#include <algorithm>
#include <map>

namespace vantiro {
namespace {

constexpr std::string_view crlf = "\r\n";
constexpr std::string_view spiderPlaceholder = "<%spider%>";
constexpr std::string_view bodyEnd = "</BODY>";
constexpr std::string_view keyStart = "<%key";
constexpr std::string_view descriptionStart = "<META NAME=\"description\" CONTENT=\"";

std::string doctypePart(const std::string& doctype)
{
    if (doctype.empty())
        return {};
    if (doctype.starts_with("<!DOCTYPE") && doctype.ends_with(">"))
        return doctype;
    return defaultDoctype();
}

std::string metaLine(std::string_view before, std::string_view value, std::string_view after)
{
    std::string line(before);
    line += value;
    line += after;
    line += crlf;
    return line;
}

std::string acceptedOr(const std::string& text, std::string_view first, std::string_view second)
{
    const std::string upper = upperCp1252(text);
    if (!text.empty() && (upper == first || upper == second))
        return std::string(trim(text));
    return "NO-CACHE";
}

std::string fixedHeadLines(const PageSettings& s)
{
    std::string lines;
    if (!s.robots.empty())
        lines += metaLine("<META NAME=\"robots\" CONTENT=\"", lowerCp1252(trim(s.robots)), "\">");
    lines += metaLine(
        "<META HTTP-EQUIV=\"content-type\" CONTENT=\"text/html; charset=ISO-8859-1\">", "", "");
    if (!s.revisit.empty())
        lines += metaLine("<META NAME=\"revisit-after\" CONTENT=\"", trim(s.revisit), " days\">");
    if (!s.author.empty())
        lines += metaLine("<META NAME=\"author\" CONTENT=\"", trim(s.author), "\">");
    lines += metaLine("<META HTTP-EQUIV=\"pragma\" CONTENT=\"",
                      acceptedOr(s.pragma, "CACHE", "NO-CACHE"), "\">");
    lines += metaLine("<META HTTP-EQUIV=\"cache-control\" CONTENT=\"",
                      acceptedOr(s.caching, "YES", "NO-CACHE"), "\">");
    lines += metaLine("<META HTTP-EQUIV=\"expires\" CONTENT=\"0\">", "", "");
    return lines;
}

// Every "<%keyN%>" with N from 1 to 100 written without leading zeros, as the replacement
// passes look for them, with its position in text.
std::vector<KeyPlaceholder> findPlaceholders(std::string_view text, size_t offset = 0)
{
    std::vector<KeyPlaceholder> found;
    for (size_t at = text.find(keyStart); at != std::string_view::npos;
         at = text.find(keyStart, at + 1)) {
        size_t digit = at + keyStart.size();
        const size_t first = digit;
        int value = 0;
        while (digit < text.size() && digit - first < 4 && text[digit] >= '0' && text[digit] <= '9')
            value = value * 10 + (text[digit++] - '0');
        const bool plain = digit > first && text[first] != '0';
        if (plain && value <= PageWriter::keyPlaceholders && text.substr(digit, 2) == "%>")
            found.push_back({offset + at, value, digit + 2 - at});
    }
    return found;
}

// The smallest placeholder number, or 0 when there is none.
int smallestNumber(const std::vector<KeyPlaceholder>& placeholders)
{
    int smallest = 0;
    for (const KeyPlaceholder& p : placeholders)
        if (smallest == 0 || p.number < smallest)
            smallest = p.number;
    return smallest;
}

} // namespace

PageWriter::PageWriter(const PageSettings& settings, const KeywordList& keywords, Random& random,
                       std::string sponsorlink)
    : keywords_(keywords), random_(random),
      sponsorlinkReplacement_(std::string(crlf) + sponsorlink + std::string(crlf) +
                              std::string(bodyEnd)),
      title_(trim(settings.title)), description_(trim(settings.description)),
      pageStart_(doctypePart(settings.doctype) + "\r\n\r\n<HTML>\r\n<HEAD>\r\n"),
      fixedHeadLines_(fixedHeadLines(settings)),
      pageEnd_("\r\n\r\n" + std::string(trim(settings.scripting)) + "\r\n</HEAD>\r\n" +
               settings.body + "\r\n</HTML>\r\n")
{
}

const std::string& PageWriter::pick()
{
    return keywords_.at(random_.pick(keywords_.count()));
}

std::string PageWriter::titleLine()
{
    std::string line = "<TITLE>" + title_ + " ";
    while (line.size() <= 64)
        (line += pick()) += ' ';
    return std::string(trim(line)) + "</TITLE>";
}

std::string PageWriter::descriptionLine()
{
    // The user's text leads as the title's does, but an empty field adds no blank, so that
    // pages without one stay as they always were.
    std::string line(descriptionStart);
    if (!description_.empty())
        (line += description_) += ' ';
    while (line.size() <= 250)
        (line += pick()) += ' ';
    return std::string(trim(line)) + "\">";
}

std::string PageWriter::keywordsLine()
{
    std::string line = "<META NAME=\"keywords\" CONTENT=\"";
    while (line.size() <= 750)
        (line += pick()) += ',';
    line = std::string(trim(line)) + "\">";
    replaceAll(line, ",\">", "\">");
    return line;
}

// Head and body before any placeholder is replaced.
std::string PageWriter::assembleTemplate()
{
    const std::string title = titleLine();
    const std::string description = descriptionLine();
    const std::string keywordList = keywordsLine();

    std::string dcTitle = title;
    replaceAll(dcTitle, "<TITLE>", "");
    dcTitle = std::string(trim(dcTitle));
    replaceAll(dcTitle, "</TITLE>", "");
    std::string dcSubject = description;
    replaceAll(dcSubject, descriptionStart, "<META NAME=\"DC.Subject\" CONTENT=\"");
    std::string dcDescription = description;
    replaceAll(dcDescription, descriptionStart, "<META NAME=\"DC.Description\" CONTENT=\"");

    std::string page = pageStart_;
    page.append(title).append("\r\n\r\n").append(description).append(crlf);
    page.append(keywordList).append(crlf).append(fixedHeadLines_);
    page.append(metaLine("<META NAME=\"DC.Title\" CONTENT=\"", dcTitle, "\">"));
    page.append(dcSubject).append(crlf).append(dcDescription).append(crlf);
    page.append(pageEnd_);
    return page;
}

void PageWriter::replaceBodyAndKeys(std::string& text, const Keys& keys) const
{
    replaceAll(text, bodyEnd, sponsorlinkReplacement_);
    // The passes run in ascending order; a pass whose placeholder does not occur changes
    // nothing, so only the numbers present are visited. After a pass only higher numbers are
    // left, so the next pass is always the smallest of them.
    std::vector<KeyPlaceholder> placeholders = findPlaceholders(text);
    for (int n = smallestNumber(placeholders); n != 0; n = smallestNumber(placeholders))
        replaceKey(text, n, keys[static_cast<size_t>(n)], placeholders);
}

// Placeholders never overlap one another, so a pass cannot destroy any placeholder but its
// own; it can only create new ones that reach into an inserted keyword or across its ends.
// So the placeholders are found once and afterwards only near each insertion.
void PageWriter::replaceKey(std::string& text, int number, std::string_view keyword,
                            std::vector<KeyPlaceholder>& placeholders)
{
    std::string result;
    result.reserve(text.size() + keyword.size());
    std::vector<KeyPlaceholder> kept;
    std::vector<size_t> insertions;
    size_t copied = 0;
    for (const KeyPlaceholder& p : placeholders) {
        result.append(text, copied, p.position - copied);
        copied = p.position;
        if (p.number == number) {
            insertions.push_back(result.size());
            result.append(keyword);
            copied += p.length;
        } else {
            kept.push_back({result.size(), p.number, p.length});
        }
    }
    result.append(text, copied, std::string::npos);
    text = std::move(result);

    constexpr size_t reach = 9; // a placeholder is at most 10 characters long
    for (size_t start : insertions) {
        const size_t end = start + keyword.size();
        const size_t from = start > reach ? start - reach : 0;
        const size_t to = std::min(text.size(), end + reach);
        for (const KeyPlaceholder& p :
             findPlaceholders(std::string_view(text).substr(from, to - from), from)) {
            // Old placeholders lie wholly before or after the insertion; new ones overlap it
            // (or, for an empty keyword, span the point where it was).
            const bool overlaps = start == end ? p.position < start && p.position + p.length > start
                                               : p.position < end && p.position + p.length > start;
            if (overlaps && p.number > number)
                kept.push_back(p);
        }
    }
    std::sort(kept.begin(), kept.end(), [](const KeyPlaceholder& a, const KeyPlaceholder& b) {
        return a.position < b.position;
    });
    kept.erase(std::unique(kept.begin(), kept.end(),
                           [](const KeyPlaceholder& a, const KeyPlaceholder& b) {
                               return a.position == b.position;
                           }),
               kept.end());
    placeholders = std::move(kept);
}

std::string PageWriter::replacedSlots(const SpiderLinks& links, const Keys& keys) const
{
    const std::string& text = links.text();
    std::string result;
    result.reserve(text.size());
    std::map<std::string_view, std::string> replaced;
    size_t copied = 0;
    for (const SpiderLinks::Slot& slot : links.markupSlots()) {
        const std::string_view keyword(text.data() + slot.offset, slot.length);
        auto [entry, isNew] = replaced.try_emplace(keyword, keyword);
        if (isNew)
            replaceBodyAndKeys(entry->second, keys);
        result.append(text, copied, slot.offset - copied).append(entry->second);
        copied = slot.offset + slot.length;
    }
    result.append(text, copied, std::string::npos);
    return result;
}

// The page as a list of parts: the template pieces between the link lists, with the link
// text between them. Writing the parts as they are saves copying the long link list into one
// page text for every page.
void PageWriter::composePage(const SpiderLinks& links)
{
    std::string page = assembleTemplate();
    Keys keys;
    for (int n = 1; n <= keyPlaceholders; ++n)
        keys[static_cast<size_t>(n)] = pick();

    pieces_.clear();
    parts_.clear();
    if (!links.isShaped()) {
        replaceAll(page, spiderPlaceholder, links.text());
        replaceBodyAndKeys(page, keys);
        pieces_.push_back(std::move(page));
    } else {
        replacedLinks_ = links.markupSlots().empty() ? std::string() : replacedSlots(links, keys);
        for (size_t start = 0;;) {
            const size_t at = page.find(spiderPlaceholder, start);
            pieces_.push_back(
                page.substr(start, at == std::string::npos ? std::string::npos : at - start));
            replaceBodyAndKeys(pieces_.back(), keys);
            if (at == std::string::npos)
                break;
            start = at + spiderPlaceholder.size();
        }
    }
    const std::string_view linkText =
        links.markupSlots().empty() ? std::string_view(links.text()) : replacedLinks_;
    for (size_t i = 0; i < pieces_.size(); ++i) {
        if (i > 0)
            parts_.push_back(linkText);
        parts_.push_back(pieces_[i]);
    }
    parts_.push_back(crlf);
}

const std::string& PageWriter::buildPage(const SpiderLinks& links)
{
    composePage(links);
    page_.clear();
    for (std::string_view part : parts_)
        page_.append(part);
    return page_;
}

bool PageWriter::writePage(const std::string& path, const SpiderLinks& links)
{
    composePage(links);
    return TextFile::writeReplacing(path, parts_);
}

} // namespace vantiro
