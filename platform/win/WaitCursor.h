#pragma once
// The hourglass while a long operation runs: the application's override
// cursor for the life of the object, the previous cursor back afterwards.
// Without a GUI application (command-line tools) it does nothing.

namespace win {

class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool shown_ = false;
};

} // namespace win
