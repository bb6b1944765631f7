#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantiro {

// Collects what the server sends on the control connection and keeps its complete replies,
// single- or multi-line ("230-Welcome" ... "230 Done"). A multi-line reply ends only at a line
// with its own code and a blank; its text is every line, its code that of the last line. The
// password given as secret is replaced wherever a server echoes it as a word of its own, so the
// text can go to a status line or a log; other text is left as it came.
class FtpReplyLog final {
public:
    struct Reply {
        int code = 0;
        std::string text; // the reply's lines, joined by "\n"
    };

    void setSecret(std::string secret);

    // Raw bytes as received; lines may arrive in pieces.
    void received(std::string_view data);

    // Forgets the replies gathered so far (not a reply that is still arriving).
    void clearLast();
    // Forgets everything received, for a new connection.
    void reset();

    // 0 when no complete reply has arrived since clearLast().
    int lastCode() const { return replies_.empty() ? 0 : replies_.back().code; }
    std::string lastText() const { return replies_.empty() ? std::string() : replies_.back().text; }
    // Every complete reply since clearLast(), oldest first.
    const std::vector<Reply>& replies() const { return replies_; }
    // True while a multi-line reply has begun and not ended.
    bool replyUnfinished() const { return inMultiLineReply_; }
    // The lines of the unfinished reply so far.
    std::string unfinishedText() const { return masked(reply_); }
    // Bytes held for replies not complete yet, a line without its end included.
    std::size_t unfinishedSize() const
    {
        return (inMultiLineReply_ ? reply_.size() : 0) + pending_.size();
    }

private:
    void addLine(const std::string& line);
    std::string masked(std::string text) const;

    std::string secret_;
    std::string pending_;
    std::string reply_;
    int replyCode_ = 0;
    bool inMultiLineReply_ = false;
    std::vector<Reply> replies_;
};

} // namespace vantiro
