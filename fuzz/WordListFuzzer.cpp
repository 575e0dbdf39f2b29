// A word list may hold anything, read in any encoding and any layout: every
// line must come out numbered in order, and every line taken for a word must
// be GBK with a spelling that is not blank and pieces that fit their columns.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include <QList>

#include "GbkText.h"
#include "WordFile.h"
#include "WordList.h"

namespace {

size_t characters(const std::string &gbk)
{
    const std::optional<QString> text = GbkToQStringStrict(gbk);
    if (!text)
        std::abort();
    return static_cast<size_t>(text->toUcs4().size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte picks the encoding, the layout and scrambling.
    const uint8_t pick = data[0];
    const auto encoding = static_cast<TWordFileEncoding>(pick % 5);
    const auto layout = static_cast<TWordLayout>((pick / 5) % 5);
    const bool scramble = (pick / 25) % 2 != 0;
    const std::string_view bytes(reinterpret_cast<const char *>(data + 1), size - 1);

    const std::vector<std::optional<std::string>> lines = SplitWordFileLinesAs(bytes, encoding);
    DetectWordLayout(lines);
    const TWordList list = ParseWordList(lines, layout, scramble);
    if (list.Lines.size() != lines.size())
        std::abort();
    int number = 0;
    for (const TListLine &line : list.Lines) {
        if (line.LineNumber != ++number)
            std::abort();
        if (line.Error != TLineError::None) {
            if (!line.Word.Spelling.empty() || LineErrorReason(line.Error).isEmpty())
                std::abort();
            continue;
        }
        if (IsBlankText(line.Word.Spelling))
            std::abort();
        if (!scramble
            && (characters(line.Word.Spelling) > kLibraryLimits.Spelling
                || characters(line.Word.Pronunciation) > kLibraryLimits.Pronunciation
                || characters(line.Word.Meaning) > kLibraryLimits.Meaning))
            std::abort();
    }
    return 0;
}
