// The progress bar keeps its value inside Min..Max and refuses one outside.

#include "platform/controls/ProgressBar.h"

#include "platform/forms/Form.h"
#include "platform/testing/TestSupport.h"

#include <QProgressBar>

#include <gtest/gtest.h>

namespace {

class BarForm : public forms::FormOf<BarForm> {
public:
    BarForm() : FormOf("BarForm") {}
    controls::ProgressBar bar{*this, "bar"};
};

TEST(ProgressBar, ValuesOutsideTheRangeAreRefused)
{
    controls::ProgressBar& bar = BarForm::Instance().bar;
    auto* widget = qobject_cast<QProgressBar*>(bar.Widget());
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 100);
    bar.SetValue(50);
    EXPECT_EQ(widget->value() * 2, widget->maximum());
    EXPECT_EQ(tv::testing::ErrorOf([&] { bar.SetValue(101); }), 380);
    EXPECT_EQ(tv::testing::ErrorOf([&] { bar.SetValue(-1); }), 380);
    EXPECT_EQ(bar.Value(), 50);
    // A narrower range pulls the value in; an empty one is refused.
    bar.SetMax(40);
    EXPECT_EQ(bar.Value(), 40);
    EXPECT_EQ(widget->value(), widget->maximum());
    EXPECT_EQ(tv::testing::ErrorOf([&] { bar.SetMin(40); }), 380);
    EXPECT_EQ(tv::testing::ErrorOf([&] { bar.SetMax(0); }), 380);
    bar.SetMin(20);
    bar.SetValue(30);
    EXPECT_EQ(widget->value() * 2, widget->maximum());
    forms::ResetForms();
}

} // namespace
