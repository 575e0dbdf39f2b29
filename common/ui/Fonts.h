#pragma once
// The windows are designed around "Arial" and "宋体", which this platform does
// not ship. Qt looks fonts up through its substitution table, so installing
// the replacements once makes every QFont naming them resolve to a family that
// is really present: Liberation Sans has Arial's metrics; AR PL UMing CN is a
// Song (Ming) face like 宋体, with two further CJK faces as fallbacks.
//
// Chinese in the Latin face (the labels, the last-word line, the meanings
// measured in Arial) falls back to the Song face too, through the same table:
// left to fontconfig it would page in a second CJK font file. The toolkit's
// default face (menus, dialogs) keeps fontconfig's fallback: the Song face's
// thin strokes at that size fall short of the skins' contrast.

#include <QString>
#include <QStringList>

// Installs the substitutions; safe to call more than once.
void InstallFontSubstitutions();

// The families the designed names resolve to, best first.
QStringList ArialReplacements();
QStringList SongTiReplacements();

// The face the board's meanings and the game's Latin-face texts draw their
// Chinese in: the first of SongTiReplacements().
QString ChineseFamily();

// The designed family names.
QString ArialFamily();
QString SongTiFamily();
