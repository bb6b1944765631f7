#pragma once

#include "app/PageSettings.h"

#include <string>

namespace vantiro {

class Random;
class RunReporter;

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
// settings.txtBody, reads the keywords, names and writes every page and the index page.
class GenerationRun final {
public:
    GenerationRun(PageSettings& settings, std::string programFolder, Random& random,
                  RunReporter& reporter);

    RunResult run();

private:
    PageSettings& settings_;
    std::string programFolder_;
    Random& random_;
    RunReporter& reporter_;
};

} // namespace vantiro
