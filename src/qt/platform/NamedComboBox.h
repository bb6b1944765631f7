#pragma once

#include <QComboBox>

namespace vantiro {

// A drop-down list that screen readers announce by its name (the label in front of it) with
// the current entry as its value. A plain QComboBox on Linux announces the entry as the name, so
// the user never hears which field it is. Its own class name is what lets AccessibleControls
// give it that interface.
class NamedComboBox final : public QComboBox {
    Q_OBJECT

public:
    explicit NamedComboBox(QWidget* parent = nullptr);
};

} // namespace vantiro
