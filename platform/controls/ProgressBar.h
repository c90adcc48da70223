#pragma once
// ProgressBar: a bar filled from Min to Max as Value grows. A Value outside
// Min..Max raises 380, as the control did.

#include "platform/forms/Control.h"

class QProgressBar;

namespace controls {

class ProgressBar : public forms::Control {
public:
    ProgressBar(forms::Container& parent, std::string name, int index = -1);

    double Min() const { return min_; }
    double Max() const { return max_; }
    double Value() const { return value_; }
    void SetMin(double value);
    void SetMax(double value);
    void SetValue(double value);

private:
    void apply();

    QProgressBar* bar_;
    double min_ = 0;
    double max_ = 100;
    double value_ = 0;
};

} // namespace controls
