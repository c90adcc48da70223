#include "platform/basic/Random.h"

#include "platform/basic/DateTime.h"

#include <cmath>
#include <random>

namespace vb {

namespace {

class RuntimeRandom : public RandomSource {
public:
    void Seed(uint32_t seed) override { engine_.seed(seed); }
    float Next() override
    {
        // 24 random bits over 2^24: every float step below 1, never 1 itself
        // (a float made by rounding a wider number could reach 1).
        return static_cast<float>(engine_() >> 8) * 0x1.0p-24f;
    }

private:
    std::mt19937 engine_;
};

std::shared_ptr<RandomSource>& source()
{
    static std::shared_ptr<RandomSource> s = std::make_shared<RuntimeRandom>();
    return s;
}

} // namespace

void SetRandomSource(std::shared_ptr<RandomSource> s)
{
    source() = s ? std::move(s) : std::make_shared<RuntimeRandom>();
}

void Randomize()
{
    source()->Seed(static_cast<uint32_t>(std::llround(Timer() * 1000.0)));
}

float Rnd()
{
    return source()->Next();
}

} // namespace vb
