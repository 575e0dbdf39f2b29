// The shipped books' words with a British and an American spelling: each
// completes its box with either, as the window gives boxes their answers.
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "BothSpellings.h"
#include "BoxAnswers.h"
#include "ReferenceData.h"
#include "TempProgramDir.h"

namespace {

// The spellings of the shipped books, in the manifest's order.
std::vector<std::string> ShippedSpellings()
{
    const std::string books = std::string(KIVRO_SOURCE_DIR) + "/data/wordbooks/";
    std::ifstream manifest(books + "manifest.tsv");
    std::vector<std::string> spellings;
    std::string line;
    while (std::getline(manifest, line)) {
        const std::string file = line.substr(line.rfind('\t') + 1);
        std::ifstream book(books + file, std::ios::binary);
        std::string entry;
        while (std::getline(book, entry))
            spellings.push_back(entry.substr(0, entry.find('[')));
    }
    return spellings;
}

// Types Text into a fresh box with these answers: the answer it completes, or "".
std::string Completes(const std::string &spelling, const std::vector<std::string> &answers,
                      const std::string &text)
{
    TTypeWordItem item;
    item.WordInfo.Spelling = spelling;
    SetBoxAnswers(item, answers);
    for (char ch : text) {
        AdvanceBox(item, ch);
        if (BoxComplete(item))
            return BoxFollowedAnswer(item);
    }
    return {};
}

TEST(AppBothSpellings, EveryPairOfTheShippedBooksCompletesWithEitherSpelling)
{
    TempProgramDir dir(TempProgramDir::Contents::CopyOfBuilt);
    const TReferenceData &reference = ProgramReferenceData();
    ASSERT_TRUE(reference.Available());
    const std::vector<std::string> spellings = ShippedSpellings();
    ASSERT_GT(spellings.size(), 30000u);
    int pairs = 0;
    for (const std::string &spelling : spellings) {
        const std::vector<std::string> answers = BothSpellingsOf(reference, spelling);
        if (answers.empty())
            continue;
        ++pairs;
        ASSERT_EQ(answers.size(), 2u) << spelling;
        EXPECT_EQ(answers[0], spelling);
        EXPECT_NE(answers[1], spelling);
        for (const std::string &typed : answers) {
            const std::string done = Completes(spelling, answers, typed);
            // As itself, or as the other where that one begins it (catalog).
            EXPECT_TRUE(done == typed || (!done.empty() && typed.rfind(done, 0) == 0))
                << spelling << " typed as " << typed << " gave \"" << done << '"';
        }
        // The other spelling's own pair is the word again.
        const std::optional<TOtherSpelling> back = reference.OtherSpelling(answers[1]);
        ASSERT_TRUE(back.has_value()) << answers[1];
        EXPECT_EQ(back->Spelling, spelling);
    }
    // The books hold a couple of hundred such spellings (British mostly).
    EXPECT_GT(pairs, 150);
}

}  // namespace
