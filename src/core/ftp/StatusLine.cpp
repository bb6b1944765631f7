#include "core/ftp/StatusLine.h"

#include <utility>

namespace vantiro {
namespace {

// How the connection is secured: the clients' note at every login. It has a place of its own
// in the window for as long as the connection lasts, apart from the changing status line.
bool isSecurityNotice(const std::string& notice)
{
    return notice.starts_with("Verbindung verschl") || notice.starts_with("Verbindung unverschl");
}

} // namespace

void StatusLine::endHandler()
{
    if (notices_.size() > noticesShown_)
        show(lastStatus_);
    notices_.clear();
    noticesShown_ = 0;
}

// The client's notes (how the connection is secured, a new login) stay in the status line for
// the rest of the handler, behind whatever it shows, so the last text of the handler still
// carries them.
void StatusLine::show(const std::string& text)
{
    std::string shown = text;
    for (const std::string& notice : notices_)
        shown += " - " + notice;
    view_.setStatus(shown);
    lastStatus_ = text;
    noticesShown_ = notices_.size();
}

void StatusLine::takeNotices(FtpClient& client)
{
    for (std::string& notice : client.takeNotices()) {
        if (isSecurityNotice(notice))
            view_.setSecurity(notice);
        else
            notices_.push_back(std::move(notice));
    }
}

} // namespace vantiro
