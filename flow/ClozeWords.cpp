#include "ClozeWords.h"

namespace {

bool sameIgnoringCase(const std::string &a, const std::string &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

}  // namespace

std::optional<TClozeWord> ClozeWordOf(const std::vector<TExample> &examples,
                                      const std::string &spelling, size_t turn)
{
    for (size_t k = 0; k < examples.size(); ++k) {
        const TExample &example = examples[(turn + k) % examples.size()];
        const size_t at = FindWholeWord(example.Sentence, example.Form);
        if (at == std::string::npos)
            continue;
        TClozeWord word;
        word.Answer = sameIgnoringCase(example.Form, spelling) ? spelling : example.Form;
        word.Sentence = example.Sentence;
        word.Blanked = example.Sentence;
        word.Blanked.replace(at, example.Form.size(), std::string(word.Answer.size(), '_'));
        return word;
    }
    return std::nullopt;
}

const TClozeWord *TClozeWords::At(int wordIndex, const std::string &spelling)
{
    auto it = m_places.find(wordIndex);
    if (it == m_places.end() || it->second.Spelling != spelling) {
        TPlace place{spelling, ClozeWordOf(m_examplesOf(spelling), spelling, m_turns[spelling])};
        if (place.Word)
            ++m_turns[spelling];
        it = m_places.insert_or_assign(wordIndex, std::move(place)).first;
    }
    return it->second.Word ? &*it->second.Word : nullptr;
}
