#include "core/generator/GenerationRun.h"

#include "core/files/FileChecks.h"
#include "core/generator/CrossLinks.h"
#include "core/generator/KeywordList.h"
#include "core/generator/NumberText.h"
#include "core/generator/PageNames.h"
#include "core/generator/PageWriter.h"
#include "core/generator/RunMessages.h"
#include "core/generator/RunReporter.h"
#include "core/generator/SpiderLinks.h"
#include "core/generator/TextCase.h"
#include "core/generator/TextFile.h"
#include "core/session/WorkFolders.h"
#include "core/style/BodyStyle.h"
#include "core/text/TextCleaning.h"

#include <cmath>
#include <optional>
#include <unordered_set>

namespace vantiro {
namespace {

const std::string pageRangeText = "Geben Sie eine Zahl zwischen 20 und 1000 an.";
const std::string revisitText = "Geben Sie für Revisit-After eine Zahl zwischen 1 und 365 an.";

struct CheckFailure {
    std::string title;
    std::string text;
    FocusTarget focus;
};

void completeColours(PageSettings& s)
{
    if (s.linkColor.empty())
        s.linkColor = "#0000FF";
    if (s.fontName.empty())
        s.fontName = "Arial, Verdana, Helvetica";
    if (s.textColor.empty())
        s.textColor = "#000000";
    if (s.backgroundColor.empty())
        s.backgroundColor = "#FFFFFF";
}

void colourBody(PageSettings& s)
{
    s.bodyTag = bodyTag(s.backgroundColor, s.textColor, s.linkColor);
    replaceAll(s.body, "LINK=\"\"", "LINK=\"" + s.linkColor + "\"");
    replaceAll(s.body, "TEXT=\"\"", "TEXT=\"" + s.textColor + "\"");
    replaceAll(s.body, "BGCOLOR=\"\"", "BGCOLOR=\"" + s.backgroundColor + "\"");
    replaceAll(s.body, "<BODY>", s.bodyTag);
}

std::optional<CheckFailure> keywordReadFailure(const KeywordList::ReadResult& result,
                                               const std::string& path)
{
    std::string text;
    switch (result.status) {
    case KeywordList::Status::Ok:
        return std::nullopt;
    case KeywordList::Status::CannotOpen:
        text = RunMessages::keywordFileUnreadable(path);
        break;
    case KeywordList::Status::NoKeywords:
        text = RunMessages::keywordFileEmpty(path);
        break;
    case KeywordList::Status::Binary:
        text = RunMessages::keywordFileBinary(path, result.lineNumber);
        break;
    case KeywordList::Status::LineTooLong:
        text = RunMessages::keywordLineTooLong(path, result.lineNumber);
        break;
    }
    return CheckFailure{"Keyword-Datei fehlt", text, FocusTarget::keywordFile};
}

std::string indexPage(const std::vector<std::string>& names, const std::string& sponsorlink)
{
    std::string page = "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n\r\n"
                       "<HTML>\r\n<HEAD>\r\n<TITLE>Linkliste - Linksammlung</TITLE>\r\n"
                       "<META NAME=\"robots\" CONTENT=\"index, follow\">\r\n</HEAD>\r\n"
                       "<BODY>\r\n<H2>Linkliste - Linksammlung</H2>\r\n<OL>\r\n";
    for (const std::string& name : names)
        page += "<LI><A HREF=\"" + name + "\">" + name + "</A></LI>\r\n";
    return page + "</OL>" + sponsorlink + "\r\n</BODY>\r\n</HTML>\r\n\r\n";
}

// Every image link copies the same pixel file, so one copy per distinct image name is enough.
std::vector<std::string> distinctImageNames(const std::vector<std::string>& pageNames)
{
    std::vector<std::string> images;
    std::unordered_set<std::string> seen;
    for (const std::string& name : pageNames) {
        std::string image = CrossLinks::imageFileName(name);
        if (seen.insert(image).second)
            images.push_back(std::move(image));
    }
    return images;
}

// Counts the files that could not be written and remembers the first.
class WriteFailures final {
public:
    void check(bool written, const std::string& path)
    {
        if (written)
            return;
        if (count_++ == 0)
            first_ = path;
    }
    int count() const { return count_; }
    const std::string& first() const { return first_; }

private:
    int count_ = 0;
    std::string first_;
};

} // namespace

GenerationRun::GenerationRun(PageSettings& settings, std::string programFolder, Random& random,
                             RunReporter& reporter)
    : settings_(settings), programFolder_(std::move(programFolder)), random_(random),
      reporter_(reporter), pixelFile_(programFolder_ + "/vtr.gif")
{
}

void GenerationRun::setPixelFile(std::string path)
{
    pixelFile_ = std::move(path);
}

std::optional<int> GenerationRun::checkInputs()
{
    const auto fail = [this](const std::string& title, const std::string& text,
                             FocusTarget focus) -> std::optional<int> {
        reporter_.showMessage(title, text, MessageIcon::Exclamation);
        reporter_.setFocus(focus);
        return std::nullopt;
    };
    if (settings_.keywordFile.empty())
        return fail("Keyword-Datei fehlt", "Sie müssen eine Keyword-Datei angeben",
                    FocusTarget::keywordFile);

    const char separator = localeDecimalSeparator();
    const std::optional<double> pages = parseNumber(settings_.pageCountText, separator);
    if (!pages)
        return fail("Unkorrekte Seitenzahl", pageRangeText, FocusTarget::pageCount);
    if (*pages < 20 || *pages > 1000)
        return fail("Geben Sie eine Zahl zwischen 20 und 1000 an", pageRangeText,
                    FocusTarget::pageCount);

    if (!settings_.revisit.empty()) {
        const std::optional<double> revisit = parseNumber(settings_.revisit, separator);
        if (!revisit)
            return fail("Unkorrekte Zahl für Revisit-After", revisitText, FocusTarget::revisit);
        if (*revisit < 1 || *revisit > 365)
            return fail("Geben Sie eine Zahl zwischen 1 und 365 an", revisitText,
                        FocusTarget::revisit);
    }
    // Halves go to the even neighbour, as the default rounding mode does.
    return static_cast<int>(std::nearbyint(*pages));
}

RunResult GenerationRun::stop(RunOutcome outcome, const std::string& title, const std::string& text,
                              std::optional<FocusTarget> focus)
{
    reporter_.setBusy(false);
    reporter_.showMessage(title, text, MessageIcon::Exclamation);
    if (focus)
        reporter_.setFocus(*focus);
    RunResult result;
    result.outcome = outcome;
    return result;
}

RunResult GenerationRun::run()
{
    const std::string sponsorlink = RunMessages::sponsorlink();
    const std::optional<int> pageCount = checkInputs();
    if (!pageCount)
        return {};

    // Every refusal comes before the first change, so that a refused run leaves the window as
    // it was.
    KeywordList keywords;
    const KeywordList::ReadResult read = keywords.read(settings_.keywordFile);
    if (const auto failure = keywordReadFailure(read, settings_.keywordFile))
        return stop(RunOutcome::CheckFailed, failure->title, failure->text, failure->focus);

    const std::string outputFolder = WorkFolders::path(programFolder_, WorkFolders::doorpages);
    if (!folderExists(outputFolder))
        return stop(RunOutcome::CheckFailed, "Programmfehler",
                    RunMessages::outputFolderMissing(outputFolder), std::nullopt);

    completeColours(settings_);
    colourBody(settings_);
    reporter_.settingsChanged();
    reporter_.setBusy(true);
    settings_.runKeywordFile = settings_.keywordFile;

    const std::vector<std::string> names =
        makePageNames(*pageCount, settings_.keywordNames, keywords, random_);
    return writePages(names, keywords, sponsorlink, outputFolder);
}

RunResult GenerationRun::writePages(const std::vector<std::string>& names,
                                    const KeywordList& keywords, const std::string& sponsorlink,
                                    const std::string& outputFolder)
{
    const bool imageLinks = settings_.imageLinks != 0;
    const std::string imageFolder = WorkFolders::path(programFolder_, WorkFolders::images);
    PageWriter writer(settings_, keywords, random_, sponsorlink);
    CrossLinks crossLinks(names, keywords, random_, imageLinks);
    SpiderLinks links;
    std::vector<std::string> imagesToCopy = distinctImageNames(names);
    WriteFailures failures;
    RunResult result;
    const int total = static_cast<int>(names.size());

    for (int page = 1; page <= total; ++page) {
        const std::string& name = names[static_cast<size_t>(page - 1)];
        reporter_.setCaption("Erstelle " + name);
        reporter_.pageStarted(page, total);
        if (imageLinks) {
            if (!fileExists(pixelFile_)) {
                RunResult stopped = stop(RunOutcome::Stopped, "Programmfehler",
                                         RunMessages::pixelMissing(programFolder_), std::nullopt);
                stopped.pagesWritten = result.pagesWritten;
                return stopped;
            }
            for (const std::string& image : imagesToCopy) {
                const std::string path = imageFolder + "/" + image;
                failures.check(TextFile::copyReplacing(pixelFile_, path), path);
            }
            imagesToCopy.clear();
        }
        crossLinks.build(links);
        const std::string path = outputFolder + "/" + name;
        const bool written = writer.writePage(path, links);
        failures.check(written, path);
        result.pagesWritten += written ? 1 : 0;
    }

    reporter_.setCaption("Seiten werden erstellt");
    const std::string indexPath = outputFolder + "/_keyliste.htm";
    failures.check(TextFile::writeReplacing(indexPath, indexPage(names, sponsorlink)), indexPath);
    reporter_.setBusy(false);

    const std::string shownFolder(trim(outputFolder + "/"));
    result.failedFiles = failures.count();
    result.firstFailedFile = failures.first();
    if (failures.count() == 0) {
        result.outcome = RunOutcome::Completed;
        reporter_.setCaption("Seiten erfolgreich erstellt");
        reporter_.showMessage("Erstellung abgeschlossen", RunMessages::completed(shownFolder),
                              MessageIcon::None);
    } else {
        result.outcome = RunOutcome::CompletedWithErrors;
        reporter_.setCaption("Erstellung mit Fehlern beendet");
        reporter_.showMessage(
            "Erstellung unvollständig",
            RunMessages::incomplete(shownFolder, failures.count(), failures.first()),
            MessageIcon::Exclamation);
    }
    return result;
}

} // namespace vantiro
