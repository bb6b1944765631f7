#pragma once

namespace vantiro {

// What screen readers are told about controls where Qt's own answer misleads: a NamedComboBox
// is named by its label rather than by its current entry, and a window built on a plain QWidget
// is a window (a frame), not a filler.
class AccessibleControls final {
public:
    // Adds the interfaces to Qt's accessibility; calling it again does nothing.
    static void install();
};

} // namespace vantiro
