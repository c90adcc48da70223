#include "platform/testing/Screenshots.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTextEdit>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>

namespace tv::testing {

namespace {

// The text a control shows, empty for one that shows none.
QString shownText(const QWidget* w)
{
    QString text;
    if (const auto* label = qobject_cast<const QLabel*>(w))
        text = label->text();
    else if (const auto* button = qobject_cast<const QAbstractButton*>(w))
        text = button->text();
    else if (const auto* edit = qobject_cast<const QLineEdit*>(w))
        text = edit->echoMode() == QLineEdit::Normal ? edit->text() : QString();
    else if (const auto* combo = qobject_cast<const QComboBox*>(w))
        text = combo->currentText();
    else if (const auto* rich = qobject_cast<const QTextEdit*>(w))
        text = rich->toPlainText();
    return text.trimmed();
}

// Whether rect shows something apart from its background (its commonest
// colour): a few pixels far from it, as a text's strokes are. A text in
// nearly the background's colour does not count.
bool drawnOn(const QImage& picture, const QRect& rect)
{
    std::map<QRgb, int> counts;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            ++counts[picture.pixel(x, y)];
    QRgb background = 0;
    int most = 0;
    for (const auto& [colour, n] : counts)
        if (n > most)
            background = colour, most = n;
    constexpr int kFar = 48;
    int far = 0;
    for (const auto& [colour, n] : counts)
        if (std::abs(qRed(colour) - qRed(background)) >= kFar || std::abs(qGreen(colour) - qGreen(background)) >= kFar ||
            std::abs(qBlue(colour) - qBlue(background)) >= kFar)
            far += n;
    return far >= 3;
}

} // namespace

QString ScreenshotFolder()
{
    return qEnvironmentVariable("TV_SCREENSHOTS");
}

void SaveScreenshot(const QImage& picture, const QString& name)
{
    const QString folder = ScreenshotFolder();
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    EXPECT_TRUE(picture.save(folder + QLatin1Char('/') + name + QStringLiteral(".png"))) << name.toStdString();
}

void SaveScreenshot(const QPixmap& picture, const QString& name)
{
    SaveScreenshot(picture.toImage(), name);
}

std::vector<std::string> UndrawnTexts(QWidget* window, const QImage& picture)
{
    std::vector<std::string> found;
    const double scale = picture.devicePixelRatio();
    const QRect whole = picture.rect();
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->isWindow() || !w->isVisibleTo(window) || shownText(w).isEmpty())
            continue;
        // The part of the control its parents leave in sight.
        QRect seen(w->mapTo(window, QPoint(0, 0)), w->size());
        for (QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
            seen &= QRect(p->mapTo(window, QPoint(0, 0)), p->size());
        seen &= window->rect();
        const QRect inPicture = QRect(QPoint(int(seen.left() * scale), int(seen.top() * scale)),
                                      QPoint(int((seen.right() + 1) * scale) - 1, int((seen.bottom() + 1) * scale) - 1)) &
                                whole;
        QString name = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
        name += QStringLiteral(" \"") + shownText(w).left(30) + QLatin1Char('"');
        // A control out of sight is one the window keeps hidden that way (a
        // check box below a short box's bottom edge); so is one of which
        // less than a line of its text is in sight (a field whose top edge
        // alone shows above that bottom edge).
        const int line = w->fontMetrics().height();
        const bool textInSight =
            seen.height() >= std::min(w->height(), line) && seen.width() >= std::min(w->width(), line);
        if (textInSight && !inPicture.isEmpty() && !drawnOn(picture, inPicture))
            found.push_back(name.toStdString());
    }
    return found;
}

QImage CheckedPicture(QWidget* window, const QString& name)
{
    const QImage picture = window->grab().toImage();
    EXPECT_FALSE(picture.isNull()) << name.toStdString();
    if (picture.isNull())
        return picture;
    const std::vector<std::string> undrawn = UndrawnTexts(window, picture);
    EXPECT_TRUE(undrawn.empty()) << name.toStdString() << ": " << ::testing::PrintToString(undrawn);
    return picture;
}

int PixelsOfColour(const QImage& picture, const QRect& rect, QRgb colour, int tolerance)
{
    int count = 0;
    const QRect r = rect & picture.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = picture.pixel(x, y);
            if (std::abs(qRed(p) - qRed(colour)) <= tolerance && std::abs(qGreen(p) - qGreen(colour)) <= tolerance &&
                std::abs(qBlue(p) - qBlue(colour)) <= tolerance)
                ++count;
        }
    return count;
}

} // namespace tv::testing
