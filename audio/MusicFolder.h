#pragma once
// The music folders "source/mp3/": the player's, under the program directory,
// which receives what the player adds, and the installed one with the shipped
// music (the same folder in a portable program). Which pieces they offer,
// which file a stored name means, and adding a file. Names on disk are UTF-8;
// the stored name (setting "Mp3") is GBK.

#include <string>

#include <QString>
#include <QStringList>

// The piece shipped with the program, always listed first.
QString DefaultMusicName();

// UTF-8 paths of the player's and the installed folder, with a trailing '/'.
std::string MusicFolderPath();
std::string InstalledMusicFolderPath();

// Music names (file names without their last extension) of every file whose
// name contains ".mp3" (exact case) in either folder, each name once: the
// default piece first, the others sorted by name. Empty when both folders are
// missing. Names that the settings file cannot hold are left out: they could
// be chosen but never played.
QStringList ListMusicNames();

// UTF-8 path of the file meant by a stored name (GBK, without ".mp3"), or ""
// when there is none. Names are stored as listed but copies are added in
// lower case, so when the exact file is absent the name is matched without
// regard to case. The player's folder comes before the installed one.
std::string ResolveMusicFile(const std::string &gbkName);

enum class TMusicAddResult {
    Added,     // the file is in the folder (copied, or it was already there)
    NotFound,  // the file to add does not exist
    Failed,    // the copy failed; nothing in the folder changed
};

// Copies the file into the folder under its file name in lower case,
// replacing a file of that name only once the copy is complete. On Added,
// `name` is its music name in the case in which it was given.
TMusicAddResult AddMusicFile(const QString &sourcePath, QString &name);
