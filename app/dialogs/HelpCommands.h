#pragma once
// The "帮助" menu, "下载Kivro词库" and the word look-up bar: each opens a page
// or the help file in the player's browser (through OpenUrl), or the About box.
// The main window's handlers call these, e.g.
//   void TFrmType::N11Click() { HelpCommands::N11Click(); }

#include <optional>
#include <string>

class QMenu;
class QString;
class QUrl;
class QWidget;

namespace HelpCommands {

// The help file beside the program: kivrotype.html in the program folder.
std::string HelpFilePath();

void N23Click();   // "帮助": opens the help file; nothing when it is missing
void N11Click();   // "官方主页"
void N5Click();    // "官方论坛"
void N21Click();   // "问题与建议"
void N17Click();   // "下载语音引擎": the address in settings key Speek
void sou1Click();  // "网址导航"
void N13Click();   // "英语学习资源"
void N16Click();   // "下载Kivro词库": the address in settings key KivroLoadCiKu

// "英语学习系列软件": item 0 to 4 stand for N44 to N48.
void SeriesProgramClick(int index);
// Fills the empty sub-menu N43 with N44 … N48 and connects them.
void BuildSeriesMenu(QMenu &N43);

// "查词": the dictionary page for the text as typed (Qt encodes what an
// address requires); nullopt when the text is empty or only blanks.
std::optional<QUrl> QueryWordUrl(const QString &text);
void sbQueryWordClick(const QString &text);

// "关于": the About box, modal.
void N25Click(QWidget *parent);

}  // namespace HelpCommands
