#pragma once

#include <string>

namespace vantiro {

// The ready-made doorway page behind "Beispiel - Code": 38 lines joined by CR LF, without a
// CR LF after the last one. "SITE_TITLE" and every "YOUR_NEXT_PAGE.htm" are markers for the
// user's site title and address.
const std::string& sampleBody();

// Replaces every "SITE_TITLE" in the body by the title and then every "YOUR_NEXT_PAGE.htm" by
// the address, both matched exactly. The order matters: a title that itself holds the link
// marker gets the address as well.
void fillSampleMarkers(std::string& body, const std::string& title, const std::string& address);

} // namespace vantiro
