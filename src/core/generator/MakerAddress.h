#pragma once

namespace vantiro {

// The maker's web site: completes the window title and the credit line, and is the target of
// the credit paragraph on every page. The project has no site of its own yet, so these use a
// reserved example domain.
inline constexpr const char* makerAddress = "http://www.vantiro.example";
inline constexpr const char* makerHost = "www.vantiro.example";

// The online help that F1 opens when no help page is shipped beside the program.
inline constexpr const char* helpAddress = "http://www.vantiro.example/hilfe.html";

} // namespace vantiro
