#include "platform/gdi/Fonts.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

namespace gdi {

namespace {

// Pixel sizes beyond this are drawn this large.
constexpr int kMaxPixelSize = 2048;

struct Table {
    std::mutex mutex;
    std::map<QString, QString> faces;
};

std::map<QString, QString> builtIn()
{
    std::map<QString, QString> m;
    for (const char* f : {"MS Sans Serif", "MS Shell Dlg", "MS Shell Dlg 2", "Microsoft Sans Serif", "Tahoma", "Arial",
                          "Helvetica", "Helv", "Verdana", "Segoe UI", "System", "Comic Sans MS"})
        m[QString::fromLatin1(f).toCaseFolded()] = QStringLiteral("DejaVu Sans");
    for (const char* f : {"Times New Roman", "Times", "MS Serif", "Tms Rmn"})
        m[QString::fromLatin1(f).toCaseFolded()] = QStringLiteral("DejaVu Serif");
    for (const char* f : {"Courier New", "Courier", "Fixedsys", "Terminal", "Lucida Console"})
        m[QString::fromLatin1(f).toCaseFolded()] = QStringLiteral("DejaVu Sans Mono");
    return m;
}

Table& table()
{
    static Table t{{}, builtIn()};
    return t;
}

QFont withPixelSize(QFont f, int px)
{
    f.setPixelSize(std::clamp(px, 1, kMaxPixelSize));
    return f;
}

} // namespace

QString SubstituteFace(const QString& face)
{
    const QString name = face.trimmed();
    {
        Table& t = table();
        std::lock_guard lock(t.mutex);
        const auto it = t.faces.find(name.toCaseFolded());
        if (it != t.faces.end())
            return it->second;
    }
    if (!name.isEmpty() && QFontDatabase::hasFamily(name))
        return name;
    return QString::fromLatin1(kDefaultFontFamily);
}

void SetFontSubstitute(const QString& face, const QString& family)
{
    Table& t = table();
    std::lock_guard lock(t.mutex);
    const QString key = face.trimmed().toCaseFolded();
    if (family.isEmpty())
        t.faces.erase(key);
    else
        t.faces[key] = family;
}

void ResetFontSubstitutes()
{
    Table& t = table();
    std::lock_guard lock(t.mutex);
    t.faces = builtIn();
}

QFont FontFromLogFont(const LOGFONT& lf, int dpi)
{
    const auto nameLength = std::find(lf.lfFaceName, lf.lfFaceName + LF_FACESIZE, '\0') - lf.lfFaceName;
    QFont f(SubstituteFace(QString::fromUtf8(lf.lfFaceName, nameLength)));
    f.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoFontMerging));
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(false);
    f.setWeight(QFont::Weight(lf.lfWeight <= 0 ? FW_NORMAL : std::min<LONG>(lf.lfWeight, 1000)));
    f.setItalic(lf.lfItalic != 0);
    f.setUnderline(lf.lfUnderline != 0);
    f.setStrikeOut(lf.lfStrikeOut != 0);

    const long long height = lf.lfHeight;
    if (height == 0)
        return withPixelSize(f, MulDiv(8, std::max(dpi, 1), 72));
    if (height < 0)
        return withPixelSize(f, int(std::min<long long>(-height, kMaxPixelSize)));
    // A cell height: the largest character height whose cell fits.
    const int cell = int(std::min<long long>(height, kMaxPixelSize));
    const QFontMetricsF reference(withPixelSize(f, 1000));
    const double ratio = reference.height() > 0 ? reference.height() / 1000.0 : 1.0;
    int px = std::max(1, int(cell / ratio + 0.5));
    while (px > 1 && QFontMetrics(withPixelSize(f, px)).height() > cell)
        --px;
    while (px < kMaxPixelSize && QFontMetrics(withPixelSize(f, px + 1)).height() <= cell)
        ++px;
    return withPixelSize(f, px);
}

} // namespace gdi
