#pragma once
// 例句填空: a word is put as one of its example sentences with the word left
// out, and the player types the word as the sentence uses it ("We ___ the
// old car": abandoned for abandon). The meaning stays on the box; the
// sentence, blank included, is shown for the lowest box. A word without an
// example falls as in dictation.
//
// The answer counts for the book's word: the board tells the word by its
// place in the list, whichever accepted answer completed it.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ReferenceData.h"

// One word put as a sentence. GBK, which for the examples is ASCII.
struct TClozeWord {
    std::string Answer;    // what completes the box: the form the sentence uses
    std::string Sentence;  // whole, for speech
    std::string Blanked;   // with one '_' for each letter of the answer
    bool operator==(const TClozeWord &) const = default;
};

// The example of that turn (counted round the examples) that holds its form
// as a whole word, or the next one that does; nothing when none does. The
// answer is the form, in the book's capitals when the form is the book's
// spelling itself.
std::optional<TClozeWord> ClozeWordOf(const std::vector<TExample> &examples,
                                      const std::string &spelling, size_t turn);

// The sentences of the words of the board's list, by their place in it. Each
// place keeps the sentence it was given while its word stays; each new
// meeting of a spelling takes its next example, so a word that comes back
// comes in another sentence.
class TClozeWords {
public:
    using TExamplesOf = std::function<std::vector<TExample>(const std::string &spelling)>;
    explicit TClozeWords(TExamplesOf examplesOf) : m_examplesOf(std::move(examplesOf)) {}

    // The word at that place has this spelling (GBK); null when it has no
    // example.
    const TClozeWord *At(int wordIndex, const std::string &spelling);
    // Forgets the places (another list on the board); the turns stay.
    void Clear() { m_places.clear(); }

private:
    struct TPlace {
        std::string Spelling;
        std::optional<TClozeWord> Word;
    };
    TExamplesOf m_examplesOf;
    std::map<int, TPlace> m_places;
    std::map<std::string, size_t> m_turns;
};
