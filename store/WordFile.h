#pragma once
// Reading a word-library file into GBK lines.
//
// Files are GBK; UTF-8 (with or without a byte-order mark) and UTF-16 with a
// byte-order mark are read too, their lines converted to GBK. Which one a
// file is, DecideWordFileEncoding says; the player may choose another one
// (Big5 included) with SplitWordFileLinesAs. Lines end at LF; a CR before the LF
// (or at the end of the file) is part of the line end.

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <QString>

#include "ExplainedError.h"

// The file cannot be opened or read; what() is a message for the player
// (UTF-8), and so is the reason the commands' error boundary shows.
class EWordFileError : public EExplainedError {
public:
    using EExplainedError::EExplainedError;
    QString Reason() const override { return QString::fromUtf8(what()); }
};

enum class TWordFileEncoding { Gbk, Utf8, Utf16LE, Utf16BE, Big5 };

struct TWordFileDecision {
    TWordFileEncoding Encoding = TWordFileEncoding::Gbk;
    size_t MarkLength = 0;  // bytes of the byte-order mark to skip
};

// The encoding a word-library file is read in. A byte-order mark decides.
// Without one, a file that is not valid UTF-8 is GBK, and one that is valid
// UTF-8 but not GBK is UTF-8. A file valid both ways (short GBK lists often
// are) is UTF-8 only when its UTF-8 reading looks Chinese: more common
// Chinese characters (the GB2312 set, CJK punctuation) than the accented
// Latin, Greek or Cyrillic letters that GBK text read as UTF-8 turns into;
// otherwise GBK wins. The start of a long file decides for all of it.
TWordFileDecision DecideWordFileEncoding(std::string_view bytes);

// The bytes of a file. Throws EWordFileError.
std::string ReadWordFileBytes(const QString &fileName);

// The longest line, in GBK bytes, a word is read from: far more than the
// three columns of a word table hold (710 characters) with blanks around
// them. Of a longer line only its start is converted and given, at a
// character boundary, kMaxWordLineBytes + 1 or + 2 bytes long; the rest is
// never looked at, and the list's checks take the line for 超出长度.
inline constexpr size_t kMaxWordLineBytes = size_t{16} * 1024;

// One entry per line, in file order. A line holding a character that GBK
// cannot represent, or a NUL, is nullopt (an error line, never a changed
// word). GBK lines are returned as they are, valid or not. Throws EWordFileError.
std::vector<std::optional<std::string>> ReadWordFileLines(const QString &fileName);

// The same for bytes already in memory.
std::vector<std::optional<std::string>> SplitWordFileLines(std::string_view bytes);

// The lines of bytes read in the given encoding; a byte-order mark of that
// encoding is skipped (for UTF-16, either mark decides the byte order). A
// line that is not text in that encoding is nullopt.
std::vector<std::optional<std::string>> SplitWordFileLinesAs(std::string_view bytes,
                                                             TWordFileEncoding encoding);

// The same lines given one at a time, none kept: a file of a million lines
// is never held as lines as well as bytes. take answers false to stop there,
// and the call then answers false; true once every line was given.
using TWordFileLineSink = std::function<bool(std::optional<std::string> &&line)>;
bool ForEachWordFileLine(std::string_view bytes, TWordFileEncoding encoding,
                         const TWordFileLineSink &take);

// Well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// nullopt when the text is not UTF-8 (a character cut off at its end too) or
// holds a character GBK cannot represent.
std::optional<std::string> Utf8ToGbkStrict(std::string_view utf8);
