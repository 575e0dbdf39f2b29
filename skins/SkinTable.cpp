#include "SkinTable.h"

#include <string_view>

#include "GbkText.h"

namespace {

struct SkinEntry {
    std::string_view name;
    std::string_view caption;  // UTF-8 here, handed out as GBK
};

// Indexed by skin number - 1.
constexpr std::array<SkinEntry, kSkinCount> kSkins{{
    {"Acryl", "风格1"},   {"Beijing", ""},
    {"Calcium", ""},      {"Cold", ""},
    {"Elegant", ""},      {"FalloutStyle", ""},
    {"MacMetal", ""},     {"MacOS2", "风格3"},
    {"Neutral4", ""},     {"Office2007 Black", ""},
    {"Blue", "默认风格"}, {"Opus", "风格4"},
    {"Pulsar", ""},       {"Steam", ""},
    {"Topaz", ""},        {"Vista", ""},
    {"Winter", "风格5"},  {"WLM", "风格2"},
    {"WMP 2008", ""},     {"Wood", ""},
}};

const SkinEntry *entry(int skinNumber)
{
    if (skinNumber < 1 || skinNumber > kSkinCount)
        return nullptr;
    return &kSkins[static_cast<size_t>(skinNumber - 1)];
}

}  // namespace

std::string GetSkinName(int skinNumber)
{
    const SkinEntry *e = entry(skinNumber);
    return e ? std::string(e->name) : std::string();
}

std::string GetSkinCaption(int skinNumber)
{
    const SkinEntry *e = entry(skinNumber);
    return e ? Gbk(e->caption) : std::string();
}

const std::array<std::string, 6> &CarriedSkinNames()
{
    static const std::array<std::string, 6> names{"Acryl", "MacOS2", "Blue",
                                                  "Opus",  "Winter", "WLM"};
    return names;
}
