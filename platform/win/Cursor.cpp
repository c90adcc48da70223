#include "platform/win/Cursor.h"

#include <QCursor>

namespace win {

namespace {

class DesktopCursor : public CursorPort {
public:
    POINTAPI Position() override
    {
        const QPoint p = QCursor::pos();
        return {p.x(), p.y()};
    }
};

std::shared_ptr<CursorPort>& port()
{
    static std::shared_ptr<CursorPort> p = std::make_shared<DesktopCursor>();
    return p;
}

} // namespace

void SetCursorPort(std::shared_ptr<CursorPort> p)
{
    port() = p ? std::move(p) : std::make_shared<DesktopCursor>();
}

bool GetCursorPos(POINTAPI& point)
{
    auto p = port();
    point = p->Position();
    return true;
}

} // namespace win
