#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace vantiro {

// Notes a client leaves for the user ("Verbindung wiederhergestellt"), taken by the window's
// thread while a call may still add to them on another.
class NoticeQueue final {
public:
    void add(std::string notice);
    // Every note since the last take, oldest first; each is handed out once.
    std::vector<std::string> take();

private:
    std::mutex mutex_;
    std::vector<std::string> notices_;
};

} // namespace vantiro
