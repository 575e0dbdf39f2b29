#include "Random.h"

#include <random>

namespace {

class MersenneRandom final : public TRandom {
public:
    MersenneRandom() : m_engine(std::random_device{}()) {}
    void seed(std::uint32_t s) { m_engine.seed(s); }
    int RandomInt(int lo, int hi) override
    {
        if (hi <= lo)
            return lo;
        return std::uniform_int_distribution<int>(lo, hi)(m_engine);
    }

private:
    std::mt19937 m_engine;
};

std::shared_ptr<MersenneRandom> &defaultRandom()
{
    static auto random = std::make_shared<MersenneRandom>();
    return random;
}

std::shared_ptr<TRandom> &currentRandom()
{
    static std::shared_ptr<TRandom> current = defaultRandom();
    return current;
}

}  // namespace

TRandom &ProgramRandom()
{
    return *currentRandom();
}

void SetProgramRandom(std::shared_ptr<TRandom> random)
{
    currentRandom() = random ? std::move(random) : std::shared_ptr<TRandom>(defaultRandom());
}

void SeedProgramRandom(std::uint32_t seed)
{
    defaultRandom()->seed(seed);
    currentRandom() = defaultRandom();
}
