#pragma once

#include <string>
#include <string_view>

namespace vantiro {

// Line ends of an FTP ASCII (type A) transfer, converted piece by piece as the data streams.
// On the network every line ends in CR LF; in a local file on this system in LF.
class AsciiLineEnds final {
public:
    enum class Direction {
        // Upload: a lone LF becomes CR LF. A CR LF already there stays as it is, because the
        // program's own text files end their lines so, and a doubled CR would reach servers
        // that store ASCII uploads unchanged.
        ToNetwork,
        // Download: CR LF becomes LF; a CR that is not followed by LF stays.
        FromNetwork,
    };

    explicit AsciiLineEnds(Direction direction) : direction_(direction) {}

    // Appends the converted piece to out. A CR at the end of a piece waits for the next one.
    void convert(std::string_view piece, std::string& out);
    // Appends what is still held back once the data has ended.
    void finish(std::string& out);

private:
    Direction direction_;
    bool lastWasCr_ = false;
};

} // namespace vantiro
