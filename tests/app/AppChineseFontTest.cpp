// The Song face has a glyph for every Chinese character the player can meet:
// the shipped books' meanings and the window's own texts, and the game's
// Latin face draws its Chinese in it. A character it lacked would be drawn
// from whatever fallback the system has, which pages in a second CJK font
// file (or shows a box where none is installed).
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFont>
#include <QFontInfo>
#include <QGlyphRun>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QRawFont>
#include <QTextLayout>

#include "Fonts.h"
#include "GameWindowFixture.h"
#include "GbkText.h"
#include "UFrmType.h"

namespace {

QRawFont RawFace(const QString &family)
{
    QFont font(family);
    font.setStyleStrategy(QFont::NoFontMerging);
    return QRawFont::fromFont(font);
}

// Every character of the texts that the Latin face cannot draw and the
// Chinese face cannot either, listed once each.
QString Undrawable(const std::set<char32_t> &characters)
{
    const QRawFont latin = RawFace(ArialReplacements().constFirst());
    const QRawFont chinese = RawFace(ChineseFamily());
    QString missing;
    for (const char32_t c : characters) {
        if (c < 0x80 || latin.supportsCharacter(c) || chinese.supportsCharacter(c))
            continue;
        missing += QString::fromUcs4(&c, 1) + QStringLiteral(" U+")
                   + QString::number(static_cast<uint>(c), 16) + QLatin1Char(' ');
    }
    return missing;
}

void Collect(const QString &text, std::set<char32_t> &characters)
{
    for (const char32_t c : text.toUcs4())
        characters.insert(c);
}

// The window's texts: every label, button, group, list entry, action (menus
// and tool bar) and tool tip, and its title.
std::set<char32_t> WindowCharacters(const QWidget &window)
{
    std::set<char32_t> characters;
    Collect(window.windowTitle(), characters);
    for (const QWidget *w : window.findChildren<QWidget *>()) {
        Collect(w->toolTip(), characters);
        if (const auto *label = qobject_cast<const QLabel *>(w))
            Collect(label->text(), characters);
        if (const auto *button = qobject_cast<const QAbstractButton *>(w))
            Collect(button->text(), characters);
        if (const auto *group = qobject_cast<const QGroupBox *>(w))
            Collect(group->title(), characters);
        if (const auto *combo = qobject_cast<const QComboBox *>(w))
            for (int i = 0; i < combo->count(); ++i)
                Collect(combo->itemText(i), characters);
        if (const auto *menu = qobject_cast<const QMenu *>(w))
            Collect(menu->title(), characters);
    }
    for (const QAction *a : window.findChildren<QAction *>()) {
        Collect(a->text(), characters);
        Collect(a->toolTip(), characters);
    }
    return characters;
}

// The family the text's glyphs of character c come from when drawn in font,
// lower-cased (the font engine's cache spells names either way).
QString FamilyDrawing(const QFont &font, const QString &text, QChar c)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const int at = static_cast<int>(text.indexOf(c));
    for (const QGlyphRun &run : layout.glyphRuns(at, 1))
        return run.rawFont().familyName().toLower();
    return {};
}

}  // namespace

TEST(AppChineseFont, EveryCharacterOfTheShippedBooksHasAGlyph)
{
    std::set<char32_t> characters;
    int books = 0;
    const std::filesystem::path dir =
        std::filesystem::path(KIVRO_SOURCE_DIR) / "data" / "wordbooks";
    for (const auto &entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".txt")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string gbk((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
        Collect(GbkToQString(gbk), characters);
        ++books;
    }
    ASSERT_GE(books, 8);
    ASSERT_GT(characters.size(), 1000U) << "the books' characters were not read";
    EXPECT_EQ(Undrawable(characters), QString());
}

class AppChineseFontWindow : public GameWindowTest {};

TEST_F(AppChineseFontWindow, EveryCharacterOfTheWindowHasAGlyphAndComesFromTheOneFace)
{
    Start();
    const std::set<char32_t> characters = WindowCharacters(Window());
    ASSERT_TRUE(characters.count(U'词') > 0) << "the window's texts were not read";
    EXPECT_EQ(Undrawable(characters), QString());

    // Chinese in the Latin face (the last-word line, the labels) is drawn in
    // the same face as the board's meanings, not in a system fallback.
    const QString text = QStringLiteral("abandon 放弃");
    const QString chinese = ChineseFamily().toLower();
    EXPECT_EQ(FamilyDrawing(QFont(ArialFamily()), text, QChar(u'放')), chinese);
    EXPECT_EQ(FamilyDrawing(QFont(ArialReplacements().constFirst()), text, QChar(u'放')), chinese);
    EXPECT_EQ(FamilyDrawing(QFont(SongTiFamily()), text, QChar(u'放')), chinese);
    EXPECT_EQ(FamilyDrawing(QFont(ArialFamily()), text, QChar(u'a')),
              ArialReplacements().constFirst().toLower());
}
