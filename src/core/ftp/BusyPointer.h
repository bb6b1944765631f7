#pragma once

#include "core/ftp/FtpView.h"

namespace vantiro {

// Shows the window's busy pointer for as long as it lives, however the step under it ends.
class BusyPointer final {
public:
    explicit BusyPointer(FtpView& view) : view_(view) { view_.setBusy(true); }
    ~BusyPointer() { view_.setBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    FtpView& view_;
};

} // namespace vantiro
