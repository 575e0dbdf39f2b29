#pragma once
// Every web address the program opens, in one place. The two addresses the
// player can change (the speech-engine download and the word-book download)
// live in the settings file under Speek and KivroLoadCiKu.

#include <array>

#include <QString>

namespace WebAddresses {

QString MainSite();          // "官方主页"
QString Forum();             // "官方论坛"
QString Feedback();          // "问题与建议"
QString WebDirectory();      // "网址导航", an outside site
QString EnglishResources();  // "英语学习资源"
// "查词": the word is appended to this as typed.
QString DictionaryPrefix();

// The maker's other programs, items N44 to N48 of "英语学习系列软件".
struct TSeriesProgram {
    QString caption;
    QString address;
};
std::array<TSeriesProgram, 5> SeriesPrograms();

}  // namespace WebAddresses
