#pragma once
// GetCursorPos through a seam: the desktop's pointer position (screen
// pixels), or a position a test sets.

#include <memory>

namespace win {

struct POINTAPI {
    long x = 0;
    long y = 0;
    bool operator==(const POINTAPI&) const = default;
};

class CursorPort {
public:
    virtual ~CursorPort() = default;
    virtual POINTAPI Position() = 0;
};

// nullptr restores the desktop's pointer.
void SetCursorPort(std::shared_ptr<CursorPort> port);
bool GetCursorPos(POINTAPI& point);

class FakeCursor : public CursorPort {
public:
    POINTAPI Position() override { return position; }
    POINTAPI position;
};

} // namespace win
