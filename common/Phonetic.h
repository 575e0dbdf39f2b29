#pragma once
// The shipped books keep pronunciations in an ASCII notation ("@'b&nd@n");
// the player reads them in IPA ("əˈbændən"). IPA is not GBK, so the result
// is Unicode, for display only.

#include <string>

#include <QString>

// Whether every character of the stored pronunciation (GBK) has an IPA
// counterpart in the notation.
bool PronunciationConverts(const std::string &pronunciation);
// The pronunciation in IPA when it converts, otherwise as stored. "." is the
// secondary stress, except before a blank, where it separates two variants.
QString PronunciationToIpa(const std::string &pronunciation);
