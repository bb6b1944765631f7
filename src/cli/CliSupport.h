#pragma once

#include "platform/ProgramFolder.h"

#include <cstdio>
#include <optional>
#include <string>

namespace vantiro {

class CommandLine;

// The program folder and the shipped files' places: --home (created when missing) as the
// program folder, or the program's own rule (a portable copy's folder, else the user's data
// folder). Missing work folders are created. std::nullopt, with a message on stderr, when the
// folder cannot be used.
std::optional<ProgramPaths> programPathsFor(const CommandLine& commandLine);

// Only the folder of programPathsFor.
std::optional<std::string> programFolderFor(const CommandLine& commandLine);

// Prints a display text on a stream with the line ends of this platform.
void printText(std::FILE* stream, const std::string& text);

// Reports a wrong call of a subcommand on stderr, with where to find its help, and gives the
// exit code for it.
int usageError(const std::string& command, const std::string& message);

} // namespace vantiro
