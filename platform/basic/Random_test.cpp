#include "platform/basic/Random.h"

#include "platform/basic/DateTime.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vb;

namespace {

std::vector<float> draw(int n)
{
    std::vector<float> out;
    for (int i = 0; i < n; ++i)
        out.push_back(Rnd());
    return out;
}

} // namespace

TEST(Random, RandomizeSeedsFromTheClockAndTheNumbersStayBelowOne)
{
    auto clock = std::make_shared<FakeClock>(Date::FromSerial(DateSerial(2025, 3, 10).Serial() + 0.5));
    SetClock(clock);
    SetRandomSource(nullptr);

    // Without Randomize every run gives the same numbers.
    const std::vector<float> unseeded = draw(20);
    SetRandomSource(nullptr);
    EXPECT_EQ(draw(20), unseeded);

    Randomize();
    const std::vector<float> noon = draw(20);
    Randomize();
    EXPECT_EQ(draw(20), noon);
    clock->Set(Date::FromSerial(DateSerial(2025, 3, 10).Serial() + 0.75));
    Randomize();
    EXPECT_NE(draw(20), noon);

    float lowest = 1.0f, highest = 0.0f;
    for (float r : draw(100000)) {
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
    }
    EXPECT_LT(lowest, 0.001f);
    EXPECT_GT(highest, 0.999f);
    SetClock(nullptr);
}

TEST(Random, AScriptedSourceDecidesTheNumbersUntilRemoved)
{
    auto scripted = std::make_shared<ScriptedRandom>(std::vector<float>{0.25f, 0.75f});
    SetRandomSource(scripted);
    Randomize();
    EXPECT_EQ(draw(5), (std::vector<float>{0.25f, 0.75f, 0.25f, 0.75f, 0.25f}));
    EXPECT_EQ(scripted->seeds.size(), 1u);
    SetRandomSource(nullptr);
    Rnd();
    EXPECT_EQ(scripted->next, 5u);
}
