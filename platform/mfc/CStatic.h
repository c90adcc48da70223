#pragma once
// A label, group box or frame item of a dialog.

#include "platform/mfc/CWnd.h"

class CStatic : public CWnd {};
