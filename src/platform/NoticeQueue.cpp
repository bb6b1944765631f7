#include "platform/NoticeQueue.h"

#include <utility>

namespace vantiro {

void NoticeQueue::add(std::string notice)
{
    const std::lock_guard lock(mutex_);
    notices_.push_back(std::move(notice));
}

std::vector<std::string> NoticeQueue::take()
{
    const std::lock_guard lock(mutex_);
    return std::exchange(notices_, {});
}

} // namespace vantiro
