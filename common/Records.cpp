#include "Records.h"

void CopyWordInfo(const TWordInfo &source, TWordInfo &target)
{
    target = source;
}

void CopyGamePara(const TGamePara &source, TGamePara &target)
{
    const std::int32_t level = target.Level;
    target = source;
    target.Level = level;
}
