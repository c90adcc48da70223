#include "platform/com/FontDialog.h"

#include "platform/gdi/Fonts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace com {

namespace {

constexpr double kMinPoints = 1;
constexpr double kMaxPoints = 999;

QString faceOf(const LOGFONT& lf)
{
    const auto n = std::find(lf.lfFaceName, lf.lfFaceName + LF_FACESIZE, '\0') - lf.lfFaceName;
    return QString::fromUtf8(lf.lfFaceName, n);
}

QString pointsText(double points)
{
    return QString::number(points, 'g', 4);
}

bool isBold(LONG weight)
{
    return weight >= 600;
}

} // namespace

double PointsFromLogFont(const LOGFONT& lf, int dpi)
{
    dpi = std::max(dpi, 1);
    if (lf.lfHeight < 0)
        return -double(lf.lfHeight) * 72.0 / dpi;
    if (lf.lfHeight == 0)
        return 8;
    return gdi::FontFromLogFont(lf, dpi).pixelSize() * 72.0 / dpi;
}

LONG HeightFromPoints(double points, int dpi)
{
    return -LONG(std::lround(points * std::max(dpi, 1) / 72.0));
}

FontDialog::FontDialog(const LOGFONT& initial, int dpi, QWidget* owner)
    : QDialog(owner), initial_(initial), dpi_(std::max(dpi, 1))
{
    setObjectName(QStringLiteral("fontDialog"));
    setWindowTitle(tr("Font"));

    initialFamily_ = gdi::SubstituteFace(faceOf(initial));
    initialPoints_ = PointsFromLogFont(initial, dpi_);
    initialSizeText_ = pointsText(initialPoints_);

    family_ = new QComboBox;
    family_->setObjectName(QStringLiteral("family"));
    QStringList families = QFontDatabase::families();
    if (!families.contains(initialFamily_))
        families.prepend(initialFamily_);
    family_->addItems(families);
    family_->setCurrentText(initialFamily_);

    style_ = new QComboBox;
    style_->setObjectName(QStringLiteral("style"));
    style_->addItems({tr("Regular"), tr("Italic"), tr("Bold"), tr("Bold Italic")});
    style_->setCurrentIndex((isBold(initial.lfWeight) ? 2 : 0) + (initial.lfItalic ? 1 : 0));

    size_ = new QComboBox;
    size_->setObjectName(QStringLiteral("size"));
    size_->setEditable(true);
    for (int p : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        size_->addItem(QString::number(p));
    size_->setCurrentText(initialSizeText_);

    underline_ = new QCheckBox(tr("&Underline"));
    underline_->setObjectName(QStringLiteral("underline"));
    underline_->setChecked(initial.lfUnderline != 0);
    strikeOut_ = new QCheckBox(tr("Stri&keout"));
    strikeOut_->setObjectName(QStringLiteral("strikeOut"));
    strikeOut_->setChecked(initial.lfStrikeOut != 0);

    sample_ = new QLabel(QStringLiteral("AaBbYyZz"));
    sample_->setObjectName(QStringLiteral("sample"));
    sample_->setAlignment(Qt::AlignCenter);
    sample_->setMinimumSize(200, 60);

    auto* choice = new QGridLayout;
    int column = 0;
    for (const auto& [text, buddy] : {std::pair{tr("&Font:"), static_cast<QWidget*>(family_)},
                                      std::pair{tr("Font st&yle:"), static_cast<QWidget*>(style_)},
                                      std::pair{tr("&Size:"), static_cast<QWidget*>(size_)}}) {
        auto* label = new QLabel(text);
        label->setBuddy(buddy);
        choice->addWidget(label, 0, column++);
    }
    choice->addWidget(family_, 1, 0);
    choice->addWidget(style_, 1, 1);
    choice->addWidget(size_, 1, 2);
    choice->setColumnStretch(0, 3);
    choice->setColumnStretch(1, 2);
    choice->setColumnStretch(2, 1);

    auto* effects = new QGroupBox(tr("Effects"));
    auto* effectsLayout = new QVBoxLayout(effects);
    effectsLayout->addWidget(strikeOut_);
    effectsLayout->addWidget(underline_);
    effectsLayout->addStretch();
    auto* sampleBox = new QGroupBox(tr("Sample"));
    auto* sampleLayout = new QVBoxLayout(sampleBox);
    sampleLayout->addWidget(sample_);
    auto* lower = new QHBoxLayout;
    lower->addWidget(effects);
    lower->addWidget(sampleBox, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setObjectName(QStringLiteral("ok"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choice);
    layout->addLayout(lower);
    layout->addWidget(buttons);

    connect(family_, &QComboBox::currentTextChanged, this, &FontDialog::refresh);
    connect(style_, &QComboBox::currentIndexChanged, this, &FontDialog::refresh);
    connect(size_, &QComboBox::currentTextChanged, this, &FontDialog::refresh);
    connect(underline_, &QCheckBox::toggled, this, &FontDialog::refresh);
    connect(strikeOut_, &QCheckBox::toggled, this, &FontDialog::refresh);
    refresh();
}

LOGFONT FontDialog::logFont() const
{
    LOGFONT lf = initial_;
    const QString family = family_->currentText();
    if (family != initialFamily_) {
        std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
        const QByteArray name = family.toUtf8().left(LF_FACESIZE - 1);
        std::memcpy(lf.lfFaceName, name.constData(), std::size_t(name.size()));
    }
    const QString sizeText = size_->currentText().trimmed();
    // An untouched size keeps its exact points, so the height comes back as
    // it went in.
    const double points = sizeText == initialSizeText_ ? initialPoints_ : sizeText.toDouble();
    lf.lfHeight = HeightFromPoints(points, dpi_);
    const bool bold = style_->currentIndex() >= 2;
    if (bold != isBold(initial_.lfWeight))
        lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = BYTE(style_->currentIndex() % 2);
    lf.lfUnderline = BYTE(underline_->isChecked() ? 1 : 0);
    lf.lfStrikeOut = BYTE(strikeOut_->isChecked() ? 1 : 0);
    return lf;
}

void FontDialog::refresh()
{
    bool number = false;
    const double points = size_->currentText().trimmed().toDouble(&number);
    const bool valid = number && points >= kMinPoints && points <= kMaxPoints;
    ok_->setEnabled(valid);
    if (valid)
        sample_->setFont(gdi::FontFromLogFont(logFont(), dpi_));
}

} // namespace com
