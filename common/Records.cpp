#include "Records.h"

std::int32_t TollGateCountOf(const TGamePara &Para)
{
    if (Para.WordsPerGate <= 0 || Para.WordCount <= 0)
        return 0;
    return Para.WordCount / Para.WordsPerGate + (Para.WordCount % Para.WordsPerGate > 0 ? 1 : 0);
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
