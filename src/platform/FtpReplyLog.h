#pragma once

#include <string>
#include <string_view>

namespace vantiro {

// Collects what the server sends on the control connection and keeps its last complete reply,
// single- or multi-line ("230-Welcome" ... "230 Done"). The password given as secret is
// masked wherever a server would echo it, so the kept text can go to a status line or a log.
class FtpReplyLog final {
public:
    void setSecret(std::string secret);

    // Raw bytes as received; lines may arrive in pieces.
    void received(std::string_view data);

    // Forgets the last reply (not a reply that is still arriving).
    void clearLast();

    // 0 when no complete reply has arrived since clearLast().
    int lastCode() const { return lastCode_; }
    // The reply's lines, joined by "\n".
    const std::string& lastText() const { return lastText_; }

private:
    void addLine(const std::string& line);
    std::string masked(std::string text) const;

    std::string secret_;
    std::string pending_;
    std::string reply_;
    int replyCode_ = 0;
    bool inMultiLineReply_ = false;
    int lastCode_ = 0;
    std::string lastText_;
};

} // namespace vantiro
