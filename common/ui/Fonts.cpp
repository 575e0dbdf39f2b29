#include "Fonts.h"

#include <QApplication>
#include <QFont>
#include <QFontInfo>

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
    UseChineseFaceInTheDefaultFont();
}

void UseChineseFaceInTheDefaultFont()
{
    if (QCoreApplication::instance() == nullptr)
        return;
    // The default face keeps its Latin letters; the Song face follows it in
    // the family list, so the menus' and dialogs' Chinese is drawn from the
    // file the board has already paged in rather than from fontconfig's own
    // choice, a second CJK file.
    QFont font = QApplication::font();
    if (font.families().contains(ChineseFamily()))
        return;
    // The default is often a generic name ("Sans Serif") that only fontconfig
    // resolves; named beside a real family it would lose to it, so the face
    // it resolves to is named instead.
    font.setFamilies({QFontInfo(font).family(), ChineseFamily()});
    // Without a class name this also clears the per-class fonts a desktop
    // theme set, which would otherwise keep their own fallback.
    QApplication::setFont(font);
}
