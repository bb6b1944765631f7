#pragma once

namespace vantiro {

// The hourglass pointer over the program while file work runs; the normal pointer returns when
// the object goes or hide() is called, whichever comes first.
class BusyCursor final {
public:
    explicit BusyCursor(bool shown = true);
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

    void show();
    void hide();

private:
    bool shown_ = false;
};

} // namespace vantiro
