#include "generator/PageWriter.h"

#include "generator/KeywordList.h"
#include "generator/Random.h"
#include "generator/SpiderLinks.h"
#include "generator/TextCase.h"
#include "generator/TextFile.h"
#include "generator/modGeneral.h"

#include <bitset>
#include <map>

namespace vantiro {
namespace {

constexpr std::string_view crlf = "\r\n";
constexpr std::string_view spiderPlaceholder = "<%spider%>";
constexpr std::string_view bodyEnd = "</BODY>";
constexpr std::string_view keyStart = "<%key";
constexpr std::string_view descriptionStart = "<META NAME=\"description\" CONTENT=\"";

using KeyNumbers = std::bitset<PageWriter::keyPlaceholders + 1>;

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
    const std::string upper = UpperCp1252(text);
    if (!text.empty() && (upper == first || upper == second))
        return std::string(Trim(text));
    return "NO-CACHE";
}

std::string fixedHeadLines(const PageSettings& s)
{
    std::string lines;
    if (!s.cmbRobots.empty())
        lines +=
            metaLine("<META NAME=\"robots\" CONTENT=\"", LowerCp1252(Trim(s.cmbRobots)), "\">");
    lines += metaLine(
        "<META HTTP-EQUIV=\"content-type\" CONTENT=\"text/html; charset=ISO-8859-1\">", "", "");
    if (!s.cmbRevisit.empty())
        lines +=
            metaLine("<META NAME=\"revisit-after\" CONTENT=\"", Trim(s.cmbRevisit), " days\">");
    if (!s.txtAuthor.empty())
        lines += metaLine("<META NAME=\"author\" CONTENT=\"", Trim(s.txtAuthor), "\">");
    lines += metaLine("<META HTTP-EQUIV=\"pragma\" CONTENT=\"",
                      acceptedOr(s.cmbPragma, "CACHE", "NO-CACHE"), "\">");
    lines += metaLine("<META HTTP-EQUIV=\"cache-control\" CONTENT=\"",
                      acceptedOr(s.cmbCaching, "YES", "NO-CACHE"), "\">");
    lines += metaLine("<META HTTP-EQUIV=\"expires\" CONTENT=\"0\">", "", "");
    return lines;
}

// The numbers N from 1 to 100 for which "<%keyN%>" occurs in text, written without leading
// zeros like the placeholders the passes look for.
KeyNumbers keyNumbersIn(std::string_view text)
{
    KeyNumbers numbers;
    for (size_t at = text.find(keyStart); at != std::string_view::npos;
         at = text.find(keyStart, at + 1)) {
        size_t digit = at + keyStart.size();
        int value = 0;
        const size_t first = digit;
        while (digit < text.size() && digit - first < 4 && text[digit] >= '0' && text[digit] <= '9')
            value = value * 10 + (text[digit++] - '0');
        const bool plain = digit > first && text[first] != '0';
        if (plain && value <= PageWriter::keyPlaceholders && text.substr(digit, 2) == "%>")
            numbers.set(static_cast<size_t>(value));
    }
    return numbers;
}

} // namespace

PageWriter::PageWriter(const PageSettings& settings, const KeywordList& keywords, Random& random,
                       std::string sponsorlink)
    : keywords_(keywords), random_(random),
      sponsorlinkReplacement_(std::string(crlf) + sponsorlink + std::string(crlf) +
                              std::string(bodyEnd)),
      title_(Trim(settings.txtTitle)),
      pageStart_(doctypePart(settings.cmbDoctype) + "\r\n\r\n<HTML>\r\n<HEAD>\r\n"),
      fixedHeadLines_(fixedHeadLines(settings)),
      pageEnd_("\r\n\r\n" + std::string(Trim(settings.txtScripting)) + "\r\n</HEAD>\r\n" +
               settings.txtBody + "\r\n</HTML>\r\n")
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
    return std::string(Trim(line)) + "</TITLE>";
}

std::string PageWriter::descriptionLine()
{
    std::string line(descriptionStart);
    while (line.size() <= 250)
        (line += pick()) += ' ';
    return std::string(Trim(line)) + "\">";
}

std::string PageWriter::keywordsLine()
{
    std::string line = "<META NAME=\"keywords\" CONTENT=\"";
    while (line.size() <= 750)
        (line += pick()) += ',';
    line = std::string(Trim(line)) + "\">";
    ReplaceAll(line, ",\">", "\">");
    return line;
}

// Head and body before any placeholder is replaced.
std::string PageWriter::assembleTemplate()
{
    const std::string title = titleLine();
    const std::string description = descriptionLine();
    const std::string keywordList = keywordsLine();

    std::string dcTitle = title;
    ReplaceAll(dcTitle, "<TITLE>", "");
    dcTitle = std::string(Trim(dcTitle));
    ReplaceAll(dcTitle, "</TITLE>", "");
    std::string dcSubject = description;
    ReplaceAll(dcSubject, descriptionStart, "<META NAME=\"DC.Subject\" CONTENT=\"");
    std::string dcDescription = description;
    ReplaceAll(dcDescription, descriptionStart, "<META NAME=\"DC.Description\" CONTENT=\"");

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
    ReplaceAll(text, bodyEnd, sponsorlinkReplacement_);
    // A pass changes nothing unless its placeholder occurs, and only a pass that replaced
    // something can make new placeholders appear, so the occurrences are looked up again
    // only then.
    KeyNumbers present = keyNumbersIn(text);
    for (int n = 1; n <= keyPlaceholders && present.any(); ++n) {
        if (!present.test(static_cast<size_t>(n)))
            continue;
        const std::string placeholder = "<%key" + std::to_string(n) + "%>";
        ReplaceAll(text, placeholder, keys[static_cast<size_t>(n)]);
        present = keyNumbersIn(text);
        for (int passed = 1; passed <= n; ++passed)
            present.reset(static_cast<size_t>(passed));
    }
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

std::string PageWriter::buildPage(const SpiderLinks& links)
{
    std::string page = assembleTemplate();
    Keys keys;
    for (int n = 1; n <= keyPlaceholders; ++n)
        keys[static_cast<size_t>(n)] = pick();

    if (!links.isShaped()) {
        ReplaceAll(page, spiderPlaceholder, links.text());
        replaceBodyAndKeys(page, keys);
        return page.append(crlf);
    }

    const std::string slotFree =
        links.markupSlots().empty() ? std::string() : replacedSlots(links, keys);
    const std::string& linkText = links.markupSlots().empty() ? links.text() : slotFree;
    std::string result;
    size_t start = 0;
    for (;;) {
        const size_t at = page.find(spiderPlaceholder, start);
        std::string piece =
            page.substr(start, at == std::string::npos ? std::string::npos : at - start);
        replaceBodyAndKeys(piece, keys);
        if (result.empty())
            result.reserve(page.size() + linkText.size() + 64);
        result.append(piece);
        if (at == std::string::npos)
            break;
        result.append(linkText);
        start = at + spiderPlaceholder.size();
    }
    return result.append(crlf);
}

bool PageWriter::WritePage(const std::string& path, const SpiderLinks& links)
{
    return TextFile::writeReplacing(path, buildPage(links));
}

} // namespace vantiro
