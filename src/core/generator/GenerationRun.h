#pragma once

#include "core/session/PageSettings.h"

#include <optional>
#include <string>
#include <vector>

namespace vantiro {

class KeywordList;
class Random;
class RunReporter;
enum class FocusTarget;

enum class RunOutcome {
    CheckFailed,        // an input check refused the run; nothing was written
    Stopped,            // stopped with a message (pixel file missing); no index page
    Completed,          // every file written
    CompletedWithErrors // finished, but some files could not be written
};

struct RunResult {
    RunOutcome outcome = RunOutcome::CheckFailed;
    int pagesWritten = 0;
    int failedFiles = 0;
    std::string firstFailedFile;
};

// One click on "ERSTELLEN": checks the inputs, completes colours and the BODY tag in
// settings.body, reads the keywords, names and writes every page and the index page.
class GenerationRun final {
public:
    GenerationRun(PageSettings& settings, std::string programFolder, Random& random,
                  RunReporter& reporter);

    // The pixel file that image links copy; by default "vtr.gif" in the program folder.
    void setPixelFile(std::string path);

    RunResult run();

private:
    std::optional<int> checkInputs();
    RunResult stop(RunOutcome outcome, const std::string& title, const std::string& text,
                   std::optional<FocusTarget> focus);
    RunResult writePages(const std::vector<std::string>& names, const KeywordList& keywords,
                         const std::string& sponsorlink, const std::string& outputFolder);

    PageSettings& settings_;
    std::string programFolder_;
    Random& random_;
    RunReporter& reporter_;
    std::string pixelFile_;
};

} // namespace vantiro
