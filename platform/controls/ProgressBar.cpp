#include "platform/controls/ProgressBar.h"

#include "platform/basic/RuntimeError.h"

#include <QProgressBar>

#include <algorithm>
#include <cmath>

namespace controls {

namespace {
// The bar counts in thousandths of the range, so fractional values show.
constexpr int kSteps = 1000;
} // namespace

ProgressBar::ProgressBar(forms::Container& parent, std::string name, int index)
    : Control(parent, std::move(name), index)
    , bar_(new QProgressBar(parent.ClientWidget()))
{
    bar_->setRange(0, kSteps);
    bar_->setTextVisible(false);
    Attach(bar_);
    apply();
}

void ProgressBar::SetMin(double value)
{
    if (!(value < max_))
        throw vb::RuntimeError(vb::kErrInvalidProperty);
    min_ = value;
    value_ = std::max(value_, min_);
    apply();
}

void ProgressBar::SetMax(double value)
{
    if (!(value > min_))
        throw vb::RuntimeError(vb::kErrInvalidProperty);
    max_ = value;
    value_ = std::min(value_, max_);
    apply();
}

void ProgressBar::SetValue(double value)
{
    if (!(value >= min_ && value <= max_))
        throw vb::RuntimeError(vb::kErrInvalidProperty);
    value_ = value;
    apply();
}

void ProgressBar::apply()
{
    bar_->setValue(static_cast<int>(std::lround((value_ - min_) / (max_ - min_) * kSteps)));
}

} // namespace controls
