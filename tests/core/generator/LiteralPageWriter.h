#pragma once

#include "core/session/PageSettings.h"

#include <functional>
#include <string>

namespace vantiro::test {

// The page recipe done the slow, obvious way: the whole page is assembled, then every
// replacement pass scans the whole text. The fast writer must give the same bytes.
std::string literalPage(const PageSettings& settings, const std::function<std::string()>& pick,
                        const std::string& spiderLinks, const std::string& sponsorlink);

} // namespace vantiro::test
