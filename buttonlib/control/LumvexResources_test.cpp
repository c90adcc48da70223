// The compiled-in strings and bitmaps, reached the way the control reaches them.

#include "buttonlib/control/ControlIds.h"
#include "buttonlib/control/LumvexResources.h"
#include "buttonlib/media/CDIB.h"

#include "platform/mfc/AfxMessageBox.h"

#include <gtest/gtest.h>

namespace {

TEST(LumvexResources, StringsAreThereByNumber)
{
    LumvexResources::Register();
    LumvexResources::Register(); // a second call changes nothing
    const std::pair<UINT, const char*> expected[] = {
        {IDS_LUMVEX, "Quorvel Button"},
        {IDS_APP_TITLE, "Quorvel Button"},
        {IDS_OUT_OF_BOUNDS, "Property value out of bounds: it will be reset to default."},
        {IDS_ERROR_OPEN_FILE, "Error opening file %1"},
        {1203, "90 degrees clockwise"},
        {2302, "Radio Button"},
    };
    for (const auto& [id, text] : expected) {
        CString s;
        EXPECT_TRUE(AfxLoadString(id, s)) << id;
        EXPECT_EQ(s, text) << id;
    }
    CString message;
    AfxFormatString1(message, IDS_INVALID_EXTENSION, "a.xyz");
    EXPECT_EQ(message, "The file a.xyz has an invalid extension.");
}

TEST(LumvexResources, BitmapsLoadThroughTheBitmapObject)
{
    LumvexResources::Register();
    struct Expect {
        UINT id;
        int width, height;
        WORD bits;
    };
    for (const Expect& e : {Expect{IDB_LUMVEX, 16, 16, 24}, Expect{IDB_CUSTOM_SHAPE, 47, 47, 1},
                            Expect{IDB_DOWNLOAD_PICTURE, 32, 33, 4}, Expect{IDB_DOWNLOAD_SHAPE, 47, 47, 1}}) {
        CDIB dib;
        ASSERT_TRUE(dib.LoadResource(e.id)) << e.id;
        EXPECT_EQ(dib.GetWidth(), e.width) << e.id;
        EXPECT_EQ(dib.GetHeight(), e.height) << e.id;
        EXPECT_EQ(dib.GetBitCount(), e.bits) << e.id;
    }
    // The download picture: sixteen colours, a grey frame round a blue sign.
    CDIB placeholder;
    ASSERT_TRUE(placeholder.LoadResource(IDB_DOWNLOAD_PICTURE));
    EXPECT_EQ(placeholder.GetColorCount(), 16);
    EXPECT_EQ(placeholder.GetPixel(0, 0), RGB(128, 128, 128));
    EXPECT_EQ(placeholder.GetPixel(16, 16), RGB(0, 64, 160));
    // The masks: the shape black (entry 0), the outside white (entry 1).
    for (const UINT id : {IDB_CUSTOM_SHAPE, IDB_DOWNLOAD_SHAPE}) {
        CDIB mask;
        ASSERT_TRUE(mask.LoadResource(id));
        EXPECT_EQ(mask.GetPixelIndex(0, 0), 1) << id;
        EXPECT_EQ(mask.GetPixelIndex(23, 23), 0) << id;
        const RGBQUAD* table = mask.GetColorTable();
        ASSERT_TRUE(table);
        EXPECT_EQ(table[0].rgbRed | table[0].rgbGreen | table[0].rgbBlue, 0);
        EXPECT_EQ(table[1].rgbRed & table[1].rgbGreen & table[1].rgbBlue, 0xFF);
    }
}

} // namespace
