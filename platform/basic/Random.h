#pragma once
// Rnd and Randomize of the runtime. The numbers come from a replaceable
// source, so that a test can decide what a "random" choice picks.

#include <cstdint>
#include <memory>
#include <vector>

namespace vb {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void Seed(uint32_t seed) = 0;
    // A number of at least 0 and below 1.
    virtual float Next() = 0;
};

// nullptr restores the runtime's own generator, in its unseeded state.
void SetRandomSource(std::shared_ptr<RandomSource> source);

// Seeds the generator from the clock's seconds since midnight.
void Randomize();
// The next number of at least 0 and below 1.
float Rnd();

// Hands out the given numbers in turn, starting again after the last; keeps
// the seeds it was given.
class ScriptedRandom : public RandomSource {
public:
    explicit ScriptedRandom(std::vector<float> numbers) : numbers(std::move(numbers)) {}
    void Seed(uint32_t seed) override { seeds.push_back(seed); }
    float Next() override
    {
        if (numbers.empty())
            return 0.0f;
        const float r = numbers[next % numbers.size()];
        ++next;
        return r;
    }
    std::vector<float> numbers;
    std::vector<uint32_t> seeds;
    size_t next = 0;
};

} // namespace vb
