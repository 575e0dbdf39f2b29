#include "SkinMenu.h"

#include <QAction>
#include <QMenu>

#include "GbkText.h"
#include "Settings.h"
#include "SkinManager.h"
#include "SkinTable.h"

namespace {

constexpr int kSeparatorTag = -1;

QAction *addSkinItem(QMenu &miUI, int tag)
{
    auto *item = miUI.addAction(QString());
    item->setObjectName(QStringLiteral("beijing%1").arg(tag));
    item->setData(tag);
    item->setCheckable(true);
    return item;
}

}  // namespace

int SkinTag(const QAction &item)
{
    bool ok = false;
    const int tag = item.data().toInt(&ok);
    return ok ? tag : 0;
}

void BuildSkinMenu(QMenu &miUI)
{
    addSkinItem(miUI, 11);
    QAction *separator = miUI.addSeparator();
    separator->setObjectName(QStringLiteral("N22"));
    separator->setData(kSeparatorTag);
    addSkinItem(miUI, 1);
    addSkinItem(miUI, 18);
    for (int tag = 2; tag <= 10; ++tag)
        addSkinItem(miUI, tag);
    for (int tag = 12; tag <= 17; ++tag)
        addSkinItem(miUI, tag);
    addSkinItem(miUI, 19);
    addSkinItem(miUI, 20);
}

void PrepareSkinMenu(QMenu &miUI)
{
    const std::string current = ReadDefaultUI();
    for (QAction *item : miUI.actions()) {
        const int tag = SkinTag(*item);
        if (tag == kSeparatorTag)
            continue;
        const std::string caption = GetSkinCaption(tag);
        item->setText(GbkToQString(caption));
        item->setVisible(!caption.empty());
        item->setCheckable(true);
        item->setChecked(GetSkinName(tag) == current);
    }
}

void beijing18Click(QMenu &miUI, QAction &item)
{
    for (QAction *other : miUI.actions())
        other->setChecked(false);
    const std::string name = GetSkinName(SkinTag(item));
    ApplySkin(name);
    item.setChecked(true);
    WriteDefaultUI(name);
}

void ConnectSkinMenu(QMenu &miUI)
{
    for (QAction *item : miUI.actions()) {
        if (SkinTag(*item) == kSeparatorTag)
            continue;
        QObject::connect(item, &QAction::triggered, &miUI,
                         [menu = &miUI, item] { beijing18Click(*menu, *item); });
    }
}
