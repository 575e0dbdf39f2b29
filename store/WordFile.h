#pragma once
// Reading a word-library file into GBK lines.
//
// Files are GBK. A file that starts with a UTF-8 byte-order mark, or that is
// valid UTF-8 as a whole and holds multi-byte characters, is read as UTF-8
// and its lines converted to GBK. Lines end at LF; a CR before the LF (or at
// the end of the file) is part of the line end.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <QString>

// The file cannot be opened or read; what() is a message for the player.
class EWordFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One entry per line, in file order. A UTF-8 line holding a character that
// GBK cannot represent is nullopt (an error line, never a changed word).
// GBK lines are returned as they are, valid or not. Throws EWordFileError.
std::vector<std::optional<std::string>> ReadWordFileLines(const QString &fileName);

// The same for bytes already in memory.
std::vector<std::optional<std::string>> SplitWordFileLines(std::string_view bytes);

// Well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// nullopt when the text holds a character GBK cannot represent.
std::optional<std::string> Utf8ToGbkStrict(std::string_view utf8);
