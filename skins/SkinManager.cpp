#include "SkinManager.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include "GbkText.h"
#include "Settings.h"
#include "SkinTable.h"
#include "TextUtils.h"
#include "SkinsLog.h"

namespace {

const QString kResourceDir = QStringLiteral(":/skins");

// The resource of the carried skin whose name matches without regard to case.
std::optional<QString> findSkinResource(std::string_view skinName)
{
    const QString wanted = GbkToQString(skinName);
    if (wanted.isEmpty())
        return std::nullopt;
    const QStringList files = QDir(kResourceDir).entryList({QStringLiteral("*.asz")}, QDir::Files);
    for (const QString &file : files) {
        const QString base = file.left(file.size() - 4);
        if (base.compare(wanted, Qt::CaseInsensitive) == 0)
            return kResourceDir + u'/' + file;
    }
    return std::nullopt;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

}  // namespace

ESkinNotFound::ESkinNotFound(std::string_view skinName)
    : std::runtime_error("找不到界面风格：" + GbkToUtf8(skinName))
{
}

ESkinFileError::ESkinFileError(const std::string &path)
    : std::runtime_error("Unable to write to " + path)
{
}

std::string CarriedSkinSheet(std::string_view skinName)
{
    const std::optional<QString> resource = findSkinResource(skinName);
    return resource ? readAll(*resource).toStdString() : std::string();
}

void ApplySkin(std::string_view skinName)
{
    const std::optional<QString> resource = findSkinResource(skinName);
    if (!resource)
        throw ESkinNotFound(skinName);
    const QByteArray sheet = readAll(*resource);

    const std::string path = ProgramPath(Gbk("data/") + std::string(skinName) + ".asz");
    const QString qpath = QString::fromStdString(path);
    {
        // Written beside and renamed over, so a skin file is never half there.
        QSaveFile out(qpath);
        if (!out.open(QIODevice::WriteOnly) || out.write(sheet) != sheet.size() || !out.commit())
            throw ESkinFileError(path);
    }
    // The look comes from the file in data/, like every other setting the
    // player can see; reading it back also proves the file is usable.
    QFile written(qpath);
    if (!written.open(QIODevice::ReadOnly))
        throw ESkinFileError(path);
    const QString styleSheet = QString::fromUtf8(written.readAll());
    // Setting the sheet re-polishes every widget, so open windows repaint at once.
    qApp->setStyleSheet(styleSheet);
}

bool ApplyDefaultSkin()
{
    try {
        ApplySkin(ReadDefaultUI());
        return true;
    } catch (const std::exception &e) {
        qCWarning(lcSkins) << "applying the saved skin failed:" << e.what();
        return false;
    }
}

void DeleteSkinFiles()
{
    namespace fs = std::filesystem;
    const fs::path dataDir = ProgramPath("data");
    std::error_code ec;
    if (!fs::is_directory(dataDir, ec))
        return;
    std::vector<std::string> wanted;
    for (const std::string &name : CarriedSkinNames())
        wanted.push_back(LowerAscii(name + ".asz"));
    std::vector<fs::path> doomed;
    for (fs::directory_iterator it(dataDir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string file = LowerAscii(it->path().filename().string());
        if (std::find(wanted.begin(), wanted.end(), file) != wanted.end())
            doomed.push_back(it->path());
    }
    for (const fs::path &p : doomed) {
        std::error_code removeError;
        fs::remove(p, removeError);  // a file that cannot go is left alone
    }
}
