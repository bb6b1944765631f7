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
    lastCode_ = 0;
    lastText_.clear();
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
    if (!inMultiLineReply_) {
        lastCode_ = replyCode_;
        lastText_ = masked(reply_);
    }
}

std::string FtpReplyLog::masked(std::string text) const
{
    static constexpr std::string_view mask = "***";
    if (secret_.empty())
        return text;
    for (size_t pos = text.find(secret_); pos != std::string::npos;
         pos = text.find(secret_, pos + mask.size()))
        text.replace(pos, secret_.size(), mask);
    return text;
}

} // namespace vantiro
