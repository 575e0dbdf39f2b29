#include "BoxAnswers.h"

#include <algorithm>

size_t BoxAnswerCount(const TTypeWordItem &item)
{
    return item.Answers.empty() ? 1 : item.Answers.size();
}

const std::string &BoxAnswer(const TTypeWordItem &item, size_t index)
{
    return item.Answers.empty() ? item.WordInfo.Spelling : item.Answers.at(index);
}

const std::string &BoxFollowedAnswer(const TTypeWordItem &item)
{
    const auto index = static_cast<size_t>(std::max(item.Following, 0));
    return BoxAnswer(item, index < BoxAnswerCount(item) ? index : 0);
}

size_t BoxTypedLength(const TTypeWordItem &item)
{
    // Flags for another length (a spelling changed under the item) are
    // never read past either end.
    const size_t length = std::min(BoxFollowedAnswer(item).size(), item.TypedFlags.size());
    size_t typed = 0;
    while (typed < length && item.TypedFlags[typed] == 1)
        ++typed;
    return typed;
}

bool BoxComplete(const TTypeWordItem &item)
{
    const std::string &followed = BoxFollowedAnswer(item);
    const size_t length = std::min(followed.size(), item.TypedFlags.size());
    return BoxTypedLength(item) == length;
}

namespace {

// The answer at index agrees with the first typed letters of the followed
// one and has key after them.
bool answerTakes(const TTypeWordItem &item, size_t index, size_t typed, char key)
{
    const std::string &answer = BoxAnswer(item, index);
    return answer.size() > typed && answer[typed] == key
           && answer.compare(0, typed, BoxFollowedAnswer(item), 0, typed) == 0;
}

// Follows the answer at index, the first typed letters typed.
void follow(TTypeWordItem &item, size_t index, size_t typed)
{
    item.Following = static_cast<std::int32_t>(index);
    item.TypedFlags.assign(BoxAnswer(item, index).size(), 0);
    std::fill_n(item.TypedFlags.begin(), typed, 1);
}

// An answer the typed letters spell out whole completes the box, even
// while a longer one (catalogue after catalog) is followed.
void followCompleted(TTypeWordItem &item, size_t typed)
{
    const std::string &followed = BoxFollowedAnswer(item);
    if (followed.size() == typed)
        return;
    for (size_t i = 0; i < BoxAnswerCount(item); ++i) {
        const std::string &answer = BoxAnswer(item, i);
        if (answer.size() == typed && followed.compare(0, typed, answer) == 0) {
            follow(item, i, typed);
            return;
        }
    }
}

}  // namespace

bool BoxAwaits(const TTypeWordItem &item, char key)
{
    if (BoxComplete(item))
        return false;
    const size_t typed = BoxTypedLength(item);
    for (size_t i = 0; i < BoxAnswerCount(item); ++i)
        if (answerTakes(item, i, typed, key))
            return true;
    return false;
}

bool AdvanceBox(TTypeWordItem &item, char key)
{
    if (BoxComplete(item))
        return false;
    const size_t typed = BoxTypedLength(item);
    const auto following = static_cast<size_t>(std::max(item.Following, 0));
    // The answer followed so far keeps the box while it matches, so the
    // drawn spelling changes only where the answers part.
    if (following < BoxAnswerCount(item) && answerTakes(item, following, typed, key)) {
        item.TypedFlags[typed] = 1;
        followCompleted(item, typed + 1);
        return true;
    }
    for (size_t i = 0; i < BoxAnswerCount(item); ++i) {
        if (i == following || !answerTakes(item, i, typed, key))
            continue;
        follow(item, i, typed + 1);
        followCompleted(item, typed + 1);
        return true;
    }
    return false;
}

void ClearBoxTyping(TTypeWordItem &item)
{
    item.Following = 0;
    item.TypedFlags.assign(BoxAnswer(item, 0).size(), 0);
}

void SetBoxAnswers(TTypeWordItem &item, std::vector<std::string> answers)
{
    item.Answers = std::move(answers);
    ClearBoxTyping(item);
}
