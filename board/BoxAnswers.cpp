#include "BoxAnswers.h"

#include <algorithm>

size_t BoxAnswerCount(const TTypeWordItem &Item)
{
    return Item.Answers.empty() ? 1 : Item.Answers.size();
}

const std::string &BoxAnswer(const TTypeWordItem &Item, size_t Index)
{
    return Item.Answers.empty() ? Item.WordInfo.Spelling : Item.Answers.at(Index);
}

const std::string &BoxFollowedAnswer(const TTypeWordItem &Item)
{
    const auto index = static_cast<size_t>(std::max(Item.Following, 0));
    return BoxAnswer(Item, index < BoxAnswerCount(Item) ? index : 0);
}

size_t BoxTypedLength(const TTypeWordItem &Item)
{
    // Flags for another length (a spelling changed under the item) are
    // never read past either end.
    const size_t length = std::min(BoxFollowedAnswer(Item).size(), Item.TypedFlags.size());
    size_t typed = 0;
    while (typed < length && Item.TypedFlags[typed] == 1)
        ++typed;
    return typed;
}

bool BoxComplete(const TTypeWordItem &Item)
{
    const std::string &followed = BoxFollowedAnswer(Item);
    const size_t length = std::min(followed.size(), Item.TypedFlags.size());
    return BoxTypedLength(Item) == length;
}

namespace {

// The answer at Index agrees with the first Typed letters of the followed
// one and has Key after them.
bool answerTakes(const TTypeWordItem &Item, size_t Index, size_t Typed, char Key)
{
    const std::string &answer = BoxAnswer(Item, Index);
    return answer.size() > Typed && answer[Typed] == Key
           && answer.compare(0, Typed, BoxFollowedAnswer(Item), 0, Typed) == 0;
}

// Follows the answer at Index, the first Typed letters typed.
void follow(TTypeWordItem &Item, size_t Index, size_t Typed)
{
    Item.Following = static_cast<std::int32_t>(Index);
    Item.TypedFlags.assign(BoxAnswer(Item, Index).size(), 0);
    std::fill_n(Item.TypedFlags.begin(), Typed, 1);
}

// An answer the typed letters spell out whole completes the box, even
// while a longer one (catalogue after catalog) is followed.
void followCompleted(TTypeWordItem &Item, size_t Typed)
{
    const std::string &followed = BoxFollowedAnswer(Item);
    if (followed.size() == Typed)
        return;
    for (size_t i = 0; i < BoxAnswerCount(Item); ++i) {
        const std::string &answer = BoxAnswer(Item, i);
        if (answer.size() == Typed && followed.compare(0, Typed, answer) == 0) {
            follow(Item, i, Typed);
            return;
        }
    }
}

}  // namespace

bool BoxAwaits(const TTypeWordItem &Item, char Key)
{
    if (BoxComplete(Item))
        return false;
    const size_t typed = BoxTypedLength(Item);
    for (size_t i = 0; i < BoxAnswerCount(Item); ++i)
        if (answerTakes(Item, i, typed, Key))
            return true;
    return false;
}

bool AdvanceBox(TTypeWordItem &Item, char Key)
{
    if (BoxComplete(Item))
        return false;
    const size_t typed = BoxTypedLength(Item);
    const auto following = static_cast<size_t>(std::max(Item.Following, 0));
    // The answer followed so far keeps the box while it matches, so the
    // drawn spelling changes only where the answers part.
    if (following < BoxAnswerCount(Item) && answerTakes(Item, following, typed, Key)) {
        Item.TypedFlags[typed] = 1;
        followCompleted(Item, typed + 1);
        return true;
    }
    for (size_t i = 0; i < BoxAnswerCount(Item); ++i) {
        if (i == following || !answerTakes(Item, i, typed, Key))
            continue;
        follow(Item, i, typed + 1);
        followCompleted(Item, typed + 1);
        return true;
    }
    return false;
}

void ClearBoxTyping(TTypeWordItem &Item)
{
    Item.Following = 0;
    Item.TypedFlags.assign(BoxAnswer(Item, 0).size(), 0);
}

void SetBoxAnswers(TTypeWordItem &Item, std::vector<std::string> Answers)
{
    Item.Answers = std::move(Answers);
    ClearBoxTyping(Item);
}
