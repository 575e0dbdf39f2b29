#include "Fonts.h"

#include <QFont>

QString ArialFamily()
{
    return QStringLiteral("Arial");
}

QString SongTiFamily()
{
    return QStringLiteral("宋体");
}

QStringList ArialReplacements()
{
    return {QStringLiteral("Liberation Sans")};
}

QStringList SongTiReplacements()
{
    return {QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC"),
            QStringLiteral("WenQuanYi Zen Hei")};
}

QString ChineseFamily()
{
    return SongTiReplacements().constFirst();
}

void InstallFontSubstitutions()
{
    // insertSubstitutions appends only names not yet listed, so a second call
    // changes nothing.
    QFont::insertSubstitutions(ArialFamily(), ArialReplacements());
    QFont::insertSubstitutions(SongTiFamily(), SongTiReplacements());
    // The same face under its Latin name, as some stored settings spell it.
    QFont::insertSubstitutions(QStringLiteral("SimSun"), SongTiReplacements());
    // A character the Latin face lacks is looked for in the substitutes of
    // the family asked for before the system's fallbacks: the Chinese faces
    // follow both names of the Latin face.
    QFont::insertSubstitutions(ArialFamily(), SongTiReplacements());
    for (const QString &latin : ArialReplacements())
        QFont::insertSubstitutions(latin, SongTiReplacements());
}
