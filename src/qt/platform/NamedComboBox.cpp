#include "qt/platform/NamedComboBox.h"

#include "qt/platform/AccessibleControls.h"

namespace vantiro {

NamedComboBox::NamedComboBox(QWidget* parent) : QComboBox(parent)
{
    AccessibleControls::install();
}

} // namespace vantiro
