#pragma once
// The program-wide uniform random generator. Tests replace it to choose exact
// values; the program uses a seeded Mersenne twister.

#include <cstdint>
#include <memory>

class TRandom {
public:
    virtual ~TRandom() = default;
    // A uniform integer from lo to hi, both included (lo when hi < lo).
    virtual int RandomInt(int lo, int hi) = 0;
};

TRandom &ProgramRandom();
// Installs a generator; nullptr goes back to the default one.
void SetProgramRandom(std::shared_ptr<TRandom> random);
// Reseeds the default generator (and makes it current again).
void SeedProgramRandom(std::uint32_t seed);
