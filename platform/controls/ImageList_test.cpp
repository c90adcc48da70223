// The image list: pictures by position from 1 and by key.

#include "platform/controls/ImageList.h"

#include "platform/basic/RuntimeError.h"
#include "platform/forms/Forms.h"

#include <gtest/gtest.h>

namespace {

class frmImagesHost : public forms::FormOf<frmImagesHost> {
public:
    frmImagesHost() : FormOf("frmImagesHost") {}
    controls::ImageList ImageList1{*this, "ImageList1"};
};

int errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const vb::RuntimeError& e) {
        return e.Number();
    }
    return 0;
}

TEST(ImageList, PicturesByPositionAndKey)
{
    auto& list = frmImagesHost::Instance().ImageList1.ListImages();
    QPixmap red(32, 32);
    red.fill(Qt::red);
    QPixmap blue(16, 16);
    blue.fill(Qt::blue);
    list.Add("REPORT", red);
    list.Add("TASK", blue);
    list.Add("", red);
    list.Add("", blue); // no key twice is fine
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(list(1).Key(), "REPORT");
    EXPECT_EQ(list(2).Index(), 2);
    EXPECT_EQ(list("TASK").Picture().size(), QSize(16, 16));
    EXPECT_EQ(list(3).Picture().toImage().pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(errorOf([&] { list.Add("TASK", red); }), 35602);
    EXPECT_EQ(errorOf([&] { list(0); }), 35600);
    EXPECT_EQ(errorOf([&] { list(5); }), 35600);
    EXPECT_EQ(errorOf([&] { list("NONE"); }), 35601);
    EXPECT_EQ(errorOf([&] { list(""); }), 35601);
    EXPECT_EQ(list.Count(), 4);
    forms::ResetForms();
}

} // namespace
