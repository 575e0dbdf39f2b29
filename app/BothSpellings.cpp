#include "BothSpellings.h"

#include "ReferenceData.h"

std::vector<std::string> BothSpellingsOf(const TReferenceData &reference,
                                         const std::string &spelling)
{
    const std::optional<TOtherSpelling> other = reference.OtherSpelling(spelling);
    if (!other)
        return {};
    return {spelling, other->Spelling};
}

TWordVariants WordVariantsOf(const TReferenceData &reference, const std::string &spelling)
{
    TWordVariants variants;
    variants.UsPronunciation = reference.UsPronunciation(spelling);
    if (const std::optional<TOtherSpelling> other = reference.OtherSpelling(spelling)) {
        variants.OtherSpelling = other->Spelling;
        variants.OtherSpellingAccent = other->American ? TAccent::American : TAccent::British;
    }
    return variants;
}
