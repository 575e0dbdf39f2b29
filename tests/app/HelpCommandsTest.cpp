#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>

#include <gtest/gtest.h>

#include "GbkText.h"
#include "ScriptedMessageBoxes.h"
#include "Settings.h"
#include "TempProgramDir.h"
#include "dialogs/HelpCommands.h"
#include "dialogs/LinkLabel.h"
#include "ModalRunner.h"
#include "dialogs/UFrmAbout.h"
#include "dialogs/UrlOpener.h"
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

TEST_F(AppDialogsWeb, SettingsAddressesOpenWhenPresent)
{
    HelpCommands::N17Click();
    HelpCommands::N16Click();
    EXPECT_TRUE(m_opened.isEmpty());  // keys missing: nothing to open

    WriteSysString("Speek", "https://speech.example/engine.html");
    WriteSysString("KivroLoadCiKu", " https://books.example/list.html ");
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
    WriteSysString("version", "2.1.0");
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

} // namespace
