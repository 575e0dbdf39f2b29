#include "HelpCommands.h"

#include <filesystem>
#include <system_error>

#include <QAction>
#include <QMenu>
#include <QUrl>

#include "GbkText.h"
#include "KivroApplication.h"
#include "ModalRunner.h"
#include "Settings.h"
#include "UFrmAbout.h"
#include "UrlOpener.h"
#include "WebAddresses.h"

namespace HelpCommands {

namespace {

void openAddress(const QString &address)
{
    OpenUrl(QUrl(address.trimmed(), QUrl::TolerantMode));
}

void openSettingsAddress(TStringSetting key)
{
    openAddress(GbkToQString(ReadSysString(key)));
}

}  // namespace

std::string HelpFilePath()
{
    return GetInstalledDir() + "kivrotype.html";
}

void N23Click()
{
    const std::string path = HelpFilePath();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return;
    OpenUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

void N11Click()
{
    openAddress(WebAddresses::MainSite());
}

void N5Click()
{
    openAddress(WebAddresses::Forum());
}

void N21Click()
{
    openAddress(WebAddresses::Feedback());
}

void N17Click()
{
    openSettingsAddress(Setting::Speek);
}

void sou1Click()
{
    openAddress(WebAddresses::WebDirectory());
}

void N13Click()
{
    openAddress(WebAddresses::EnglishResources());
}

void N16Click()
{
    openSettingsAddress(Setting::KivroLoadCiKu);
}

void SeriesProgramClick(int index)
{
    const auto programs = WebAddresses::SeriesPrograms();
    if (index < 0 || index >= static_cast<int>(programs.size()))
        return;
    openAddress(programs[static_cast<size_t>(index)].address);
}

void BuildSeriesMenu(QMenu &N43)
{
    const auto programs = WebAddresses::SeriesPrograms();
    for (int i = 0; i < static_cast<int>(programs.size()); ++i) {
        QAction *item = N43.addAction(programs[static_cast<size_t>(i)].caption);
        item->setObjectName(QStringLiteral("N%1").arg(44 + i));
        QObject::connect(item, &QAction::triggered, &N43,
                         Guarded(item->iconText(), [i] { SeriesProgramClick(i); }));
    }
}

std::optional<QUrl> QueryWordUrl(const QString &text)
{
    if (text.trimmed().isEmpty())
        return std::nullopt;
    return QUrl(WebAddresses::DictionaryPrefix() + text, QUrl::TolerantMode);
}

void sbQueryWordClick(const QString &text)
{
    if (const std::optional<QUrl> url = QueryWordUrl(text))
        OpenUrl(*url);
}

void N25Click(QWidget *parent)
{
    TFrmAbout about(parent);
    RunModal(about);
}

}  // namespace HelpCommands
