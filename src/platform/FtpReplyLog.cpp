#include "platform/FtpReplyLog.h"

namespace vantiro {
namespace {

int replyCodeOf(const std::string& line)
{
    if (line.size() < 3)
        return 0;
    int code = 0;
    for (size_t i = 0; i < 3; ++i) {
        if (line[i] < '0' || line[i] > '9')
            return 0;
        code = code * 10 + (line[i] - '0');
    }
    return code;
}

bool isWordByte(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           byte >= 0x80;
}

} // namespace

void FtpReplyLog::setSecret(std::string secret)
{
    secret_ = std::move(secret);
}

void FtpReplyLog::received(std::string_view data)
{
    pending_.append(data);
    size_t end = 0;
    while ((end = pending_.find('\n')) != std::string::npos) {
        std::string line = pending_.substr(0, end);
        pending_.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        addLine(line);
    }
}

void FtpReplyLog::clearLast()
{
    replies_.clear();
}

void FtpReplyLog::reset()
{
    pending_.clear();
    reply_.clear();
    replyCode_ = 0;
    inMultiLineReply_ = false;
    replies_.clear();
}

void FtpReplyLog::addLine(const std::string& line)
{
    const int code = replyCodeOf(line);
    if (!inMultiLineReply_) {
        reply_.clear();
        replyCode_ = code;
        inMultiLineReply_ = code != 0 && line.size() > 3 && line[3] == '-';
    } else {
        reply_ += '\n';
        if (code == replyCode_ && (line.size() == 3 || line[3] == ' '))
            inMultiLineReply_ = false;
    }
    reply_ += line;
    if (!inMultiLineReply_)
        replies_.push_back(Reply{replyCode_, masked(reply_)});
}

// Only an echo of the whole password as a word of its own is replaced: a short password also
// occurs inside ordinary words ("a" in "cannot"), and those stay readable.
std::string FtpReplyLog::masked(std::string text) const
{
    static constexpr std::string_view mask = "***";
    if (secret_.empty())
        return text;
    size_t pos = text.find(secret_);
    while (pos != std::string::npos) {
        const size_t end = pos + secret_.size();
        const bool wordBefore = pos > 0 && isWordByte(text[pos - 1]) && isWordByte(secret_.front());
        const bool wordAfter =
            end < text.size() && isWordByte(text[end]) && isWordByte(secret_.back());
        if (wordBefore || wordAfter) {
            pos = text.find(secret_, pos + 1);
            continue;
        }
        text.replace(pos, secret_.size(), mask);
        pos = text.find(secret_, pos + mask.size());
    }
    return text;
}

} // namespace vantiro
