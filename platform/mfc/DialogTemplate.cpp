#include "platform/mfc/DialogTemplate.h"

#include "platform/gdi/Fonts.h"

#include <QFontMetrics>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

namespace {

struct Registry {
    std::mutex mutex;
    std::map<UINT, const DialogTemplate*> templates;
    std::optional<DialogBaseUnits> fixedUnits;
};

Registry& registry()
{
    static Registry r;
    return r;
}

} // namespace

BOOL AfxRegisterDialogTemplate(const DialogTemplate& dialog)
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    return r.templates.emplace(dialog.id, &dialog).second ? TRUE : FALSE;
}

const DialogTemplate* AfxFindDialogTemplate(UINT id)
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    const auto it = r.templates.find(id);
    return it == r.templates.end() ? nullptr : it->second;
}

void SetDialogBaseUnits(std::optional<DialogBaseUnits> units)
{
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    r.fixedUnits = units;
}

LOGFONT DialogLogFont(const DialogTemplate& dialog)
{
    LOGFONT lf{};
    lf.lfHeight = -MulDiv(std::max(dialog.fontPoints, 1), gdi::ScreenDpi(), 72);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    const std::size_t n = std::min<std::size_t>(dialog.fontFace.size(), LF_FACESIZE - 1);
    std::memcpy(lf.lfFaceName, dialog.fontFace.data(), n);
    return lf;
}

DialogBaseUnits DialogFontBaseUnits(std::string_view face, int points)
{
    {
        Registry& r = registry();
        std::lock_guard lock(r.mutex);
        if (r.fixedUnits)
            return *r.fixedUnits;
    }
    DialogTemplate probe{0, {}, 0, 0, {}, face, points};
    const QFontMetrics metrics(DialogFont(probe));
    const int width = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogBaseUnits{std::max(1, (width / 26 + 1) / 2), std::max(1, metrics.height())};
}

DialogBaseUnits BaseUnitsOf(const DialogTemplate& dialog)
{
    return DialogFontBaseUnits(dialog.fontFace, dialog.fontPoints);
}

RECT MapDialogRect(const RECT& dlu, DialogBaseUnits units)
{
    return RECT{MulDiv(dlu.left, units.cx, 4), MulDiv(dlu.top, units.cy, 8), MulDiv(dlu.right, units.cx, 4),
                MulDiv(dlu.bottom, units.cy, 8)};
}

RECT ItemRect(const DialogItem& item, DialogBaseUnits units)
{
    return MapDialogRect(RECT{item.x, item.y, item.x + item.cx, item.y + item.cy}, units);
}

QFont DialogFont(const DialogTemplate& dialog)
{
    QFont font = gdi::FontFromLogFont(DialogLogFont(dialog), gdi::ScreenDpi());
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}
