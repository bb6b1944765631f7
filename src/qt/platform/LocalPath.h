#pragma once

#include <QString>

#include <string>

namespace vantiro {

// Local file paths between the widgets' texts and the file-system bytes the core works with.
class LocalPath final {
public:
    static QString toQt(const std::string& path);
    static std::string fromQt(const QString& path);
};

} // namespace vantiro
