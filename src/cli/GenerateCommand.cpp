#include "cli/GenerateCommand.h"

#include "cli/CliSupport.h"
#include "cli/CommandLine.h"
#include "core/generator/GenerationRun.h"
#include "core/generator/Random.h"
#include "core/generator/RunReporter.h"
#include "core/generator/TextFile.h"
#include "core/session/PageSettings.h"
#include "core/text/Cp1252.h"

#include <charconv>
#include <cstdio>
#include <unistd.h>

namespace vantiro {
namespace {

const std::set<std::string> valueOptions = {
    "--keywords", "--home",        "--pages",      "--body",       "--head",    "--doctype",
    "--title",    "--description", "--author",     "--robots",     "--revisit", "--pragma",
    "--caching",  "--background",  "--text-color", "--link-color", "--font",    "--seed"};
const std::set<std::string> flags = {"--numbered", "--text-links"};

// Failed checks go to stderr; the closing message of a completed run goes to stdout.
class TerminalReporter final : public RunReporter {
public:
    TerminalReporter() : showProgress_(isatty(STDERR_FILENO) != 0) {}

    void setCaption(const std::string&) override {}
    void setBusy(bool) override {}
    void setFocus(FocusTarget) override {}

    void showMessage(const std::string& title, const std::string& text, MessageIcon icon) override
    {
        endProgressLine();
        if (icon == MessageIcon::None) {
            printText(stdout, text);
        } else if (text.starts_with(title)) {
            // Some checks repeat their title as the text; the sentence is said once.
            printText(stderr, text);
        } else {
            printText(stderr, title + ": " + text);
        }
    }

    void pageStarted(int page, int total) override
    {
        if (!showProgress_)
            return;
        std::fprintf(stderr, "\rSeite %d von %d", page, total);
        progressShown_ = true;
    }

private:
    void endProgressLine()
    {
        if (progressShown_)
            std::fputc('\n', stderr);
        progressShown_ = false;
    }

    bool showProgress_;
    bool progressShown_ = false;
};

bool isColour(const std::string& text)
{
    if (text.size() != 7 || text[0] != '#')
        return false;
    return text.find_first_not_of("0123456789abcdefABCDEF", 1) == std::string::npos;
}

bool readTemplateFile(const CommandLine& line, const char* option, std::string& target)
{
    const auto path = line.value(option);
    if (!path)
        return true;
    if (TextFile::read(*path, target))
        return true;
    std::fprintf(stderr, "Die Datei %s (%s) kann nicht gelesen werden.\n", path->c_str(), option);
    return false;
}

bool applyColour(const CommandLine& line, const char* option, std::string& target)
{
    const auto colour = line.value(option);
    if (!colour)
        return true;
    if (!isColour(*colour)) {
        std::fprintf(stderr, "%s erwartet eine Farbe der Form #rrggbb, nicht \"%s\".\n", option,
                     colour->c_str());
        return false;
    }
    target = *colour;
    return true;
}

void applyText(const CommandLine& line, const char* option, std::string& target)
{
    if (const auto text = line.value(option))
        target = Cp1252::fromUtf8(*text);
}

bool buildSettings(const CommandLine& line, PageSettings& s)
{
    s = PageSettings::startValues();
    s.keywordFile = line.valueOr("--keywords", "");
    for (const auto& [option, field] : {std::pair{"--pages", &s.pageCountText},
                                        {"--doctype", &s.doctype},
                                        {"--title", &s.title},
                                        {"--description", &s.description},
                                        {"--author", &s.author},
                                        {"--robots", &s.robots},
                                        {"--revisit", &s.revisit},
                                        {"--pragma", &s.pragma},
                                        {"--caching", &s.caching},
                                        {"--font", &s.fontName}})
        applyText(line, option, *field);
    s.keywordNames = !line.flag("--numbered");
    s.imageLinks = line.flag("--text-links") ? 0 : 1;
    return readTemplateFile(line, "--body", s.body) &&
           readTemplateFile(line, "--head", s.scripting) &&
           applyColour(line, "--background", s.backgroundColor) &&
           applyColour(line, "--text-color", s.textColor) &&
           applyColour(line, "--link-color", s.linkColor);
}

std::optional<Random> randomFor(const CommandLine& line)
{
    const auto seed = line.value("--seed");
    if (!seed)
        return Random::fromEntropy();
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(seed->data(), seed->data() + seed->size(), value);
    if (error != std::errc() || end != seed->data() + seed->size()) {
        std::fprintf(stderr, "--seed erwartet eine ganze Zahl ab 0, nicht \"%s\".\n",
                     seed->c_str());
        return std::nullopt;
    }
    return Random(value);
}

int exitCodeFor(RunOutcome outcome)
{
    switch (outcome) {
    case RunOutcome::Completed:
        return 0;
    case RunOutcome::CompletedWithErrors:
        return 1;
    case RunOutcome::CheckFailed:
    case RunOutcome::Stopped:
        break;
    }
    return 2;
}

} // namespace

int runGenerateCommand(const std::vector<std::string>& args)
{
    const CommandLine line(args, valueOptions, flags);
    if (!line.error().empty())
        return usageError("generate", line.error());
    if (!line.words().empty())
        return usageError("generate", "Unerwartetes Argument " + line.words().front() + ".");
    PageSettings settings;
    std::optional<Random> random = randomFor(line);
    if (!random || !buildSettings(line, settings))
        return 2;
    const std::optional<ProgramPaths> paths = programPathsFor(line);
    if (!paths)
        return 2;
    TerminalReporter reporter;
    GenerationRun run(settings, paths->programFolder, *random, reporter);
    // A program folder without a pixel file of its own uses the one shipped with the program.
    run.setPixelFile(ProgramFolder::pixelFile(*paths));
    return exitCodeFor(run.run().outcome);
}

} // namespace vantiro
