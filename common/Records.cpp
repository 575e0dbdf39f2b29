#include "Records.h"

std::int32_t TollGateCountOf(const TGamePara &para)
{
    if (para.WordsPerGate <= 0 || para.WordCount <= 0)
        return 0;
    return para.WordCount / para.WordsPerGate + (para.WordCount % para.WordsPerGate > 0 ? 1 : 0);
}

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

bool FitsRecentLineField(std::string_view text)
{
    return text.find(kRecentSeparator) == std::string_view::npos
           && text.find_first_of("\r\n") == std::string_view::npos;
}
