#pragma once
// The skin table behind the "界面风格" menu: twenty skin numbers, each with a
// skin name and a menu caption. Only six numbers have a caption, and those
// six are exactly the skins the program carries.

#include <array>
#include <string>

// Skin numbers run from 1 to 20; they are the Tags of the skin menu items.
inline constexpr int kSkinCount = 20;

// The skin name of a skin number ("" outside 1..20). ASCII, so also GBK.
std::string GetSkinName(int skinNumber);

// The menu caption of a skin number, GBK; "" for skins the menu hides and
// for numbers outside 1..20.
std::string GetSkinCaption(int skinNumber);

// The six skins the program carries, in the order their files are removed at exit.
const std::array<std::string, 6> &CarriedSkinNames();
