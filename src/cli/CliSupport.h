#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace vantiro {

class CommandLine;

// The folder that plays the program folder: --home (created when missing) or the folder of
// the executable. std::nullopt, with a message on stderr, when it cannot be used.
std::optional<std::string> ProgramFolderFor(const CommandLine& commandLine);

// Prints a display text on a stream with the line ends of this platform.
void PrintText(std::FILE* stream, const std::string& text);

} // namespace vantiro
