#include "ProgramEnd.h"

#include <atomic>

namespace {

std::atomic<bool> g_endRequested{false};

}  // namespace

void RequestProgramEnd()
{
    g_endRequested.store(true);
}

bool ProgramEndRequested()
{
    return g_endRequested.load();
}
