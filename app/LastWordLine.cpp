#include "LastWordLine.h"

#include "GbkText.h"
#include "Phonetic.h"

namespace {

QString bracketed(const QString &ipa)
{
    return QStringLiteral("[") + ipa + QStringLiteral("]");
}

}  // namespace

QString LastWordLine(const TWordInfo &word, const TWordVariants &variants, TAccent accent,
                     bool bothSpellings)
{
    const QString separator = QStringLiteral("  ");
    QString text = GbkToQString(word.Spelling);
    const QString british =
        word.Pronunciation.empty() ? QString() : PronunciationToIpa(word.Pronunciation);
    const QString american =
        variants.UsPronunciation.empty() ? QString() : PronunciationToIpa(variants.UsPronunciation);
    if (american.isEmpty() || american == british) {
        if (!british.isEmpty())
            text += separator + bracketed(british);
    } else if (british.isEmpty()) {
        text += separator + AccentMark(TAccent::American) + QLatin1Char(' ') + bracketed(american);
    } else {
        const QString gb = AccentMark(TAccent::British) + QLatin1Char(' ') + bracketed(british);
        const QString us = AccentMark(TAccent::American) + QLatin1Char(' ') + bracketed(american);
        text +=
            separator + (accent == TAccent::American ? us + separator + gb : gb + separator + us);
    }
    if (!word.Meaning.empty())
        text += separator + GbkToQString(word.Meaning);
    if (bothSpellings && !variants.OtherSpelling.empty())
        text += separator + AccentMark(variants.OtherSpellingAccent) + QStringLiteral("式拼写：")
                + GbkToQString(variants.OtherSpelling);
    return text;
}
