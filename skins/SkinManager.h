#pragma once
// Applying a skin: the carried style sheet is written to data/<name>.asz and
// the application then takes its look from that file, so every open window
// and every window opened later is repainted in the skin.

#include <stdexcept>
#include <string>
#include <string_view>

// No carried skin has this name. Nothing was written and the look is unchanged.
class ESkinNotFound : public std::runtime_error {
public:
    explicit ESkinNotFound(std::string_view skinName);
};

// The skin file could not be written or read back. The look is unchanged.
class ESkinFileError : public std::runtime_error {
public:
    explicit ESkinFileError(const std::string &path);
};

// The skin name is GBK and matched against the carried skins without regard
// to ASCII case; the file is named with the name exactly as passed and any
// file of that name is replaced. Throws ESkinNotFound or ESkinFileError.
void ApplySkin(std::string_view skinName);

// The carried style sheet of a skin (UTF-8), or "" when none matches.
std::string CarriedSkinSheet(std::string_view skinName);

// Start-up: applies the skin named by DefaultUI. Any failure (an unknown
// name, a data folder that cannot be written) keeps the built-in look and
// start-up goes on; returns whether a skin was applied.
bool ApplyDefaultSkin();

// Exit: removes the skin files written during the run (data/<skin>.asz for
// the six carried skins, whatever the case of the name they were applied
// under). Files that cannot be removed are left; nothing is reported.
void DeleteSkinFiles();
