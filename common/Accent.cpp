#include "Accent.h"

#include "Settings.h"

TAccent AccentFromSetting(std::int32_t value)
{
    return value == 1 ? TAccent::American : TAccent::British;
}

std::int32_t AccentSetting(TAccent accent)
{
    return accent == TAccent::American ? 1 : 0;
}

TAccent ReadAccent()
{
    return AccentFromSetting(ReadSysInteger(Setting::Accent));
}

QString AccentMark(TAccent accent)
{
    return accent == TAccent::American ? QStringLiteral("美") : QStringLiteral("英");
}

QString AccentName(TAccent accent)
{
    return AccentMark(accent) + QStringLiteral("音");
}
