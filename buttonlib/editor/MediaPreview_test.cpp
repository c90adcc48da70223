// Where the preview puts a picture inside its frame.

#include "buttonlib/editor/MediaPreview.h"

#include <gtest/gtest.h>

namespace {

struct Placement {
    LONG w;
    LONG h;
    RECT expected;
};

bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(MediaPreview, APictureFitsAtItsOwnSizeInTheMiddleOrShrinksKeepingItsProportions)
{
    // A 100 x 100 target at (10, 20).
    const RECT target{10, 20, 110, 120};
    const Placement cases[] = {
        {40, 20, {40, 60, 80, 80}},    // its own size, 30 and 40 in
        {100, 100, {10, 20, 110, 120}}, // just fits
        {300, 100, {10, 54, 110, 86}},  // 100 x 32, 34 below the top
        {100, 300, {44, 20, 76, 120}},  // 32 x 100, 34 from the left
        {101, 50, {10, 46, 110, 94}},   // a margin of 26 rounded up
        {200, 200, {10, 20, 110, 120}}, // same proportions: the whole target
        {1, 2000, {60, 20, 60, 120}},   // thinner than a thousandth: no width
        {200, 0, {10, 20, 110, 120}},   // no proportions: stretched
    };
    for (const Placement& c : cases) {
        const RECT r = MediaPreview::TargetRect(target, c.w, c.h);
        EXPECT_TRUE(r == c.expected) << c.w << " x " << c.h << ": " << r.left << ", " << r.top << ", " << r.right
                                     << ", " << r.bottom;
    }
}

} // namespace
