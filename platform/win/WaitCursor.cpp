#include "platform/win/WaitCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace win {

WaitCursor::WaitCursor()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        shown_ = true;
    }
}

WaitCursor::~WaitCursor()
{
    if (shown_ && qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::restoreOverrideCursor();
}

} // namespace win
