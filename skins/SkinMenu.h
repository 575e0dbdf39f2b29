#pragma once
// The "界面风格" menu (miUI): one checkable item per skin number, the skin
// number kept as the item's Tag (QAction::data), and the separator N22
// tagged -1.

class QAction;
class QMenu;

// The Tag of an item: its skin number, -1 for the separator, 0 when unset.
int SkinTag(const QAction &item);

// Fills an empty menu with the items in their designed order: beijing11,
// N22, beijing1, beijing18, beijing2 … beijing10, beijing12 … beijing17,
// beijing19, beijing20. Each item's objectName is its designed name.
// Captions, visibility and ticks are set by PrepareSkinMenu.
void BuildSkinMenu(QMenu &miUI);

// For every item whose Tag is not -1: caption from GetSkinCaption, visible
// only with a caption, ticked exactly when its skin name equals DefaultUI
// (case-sensitive).
void PrepareSkinMenu(QMenu &miUI);

// A skin item was chosen: untick every item, apply the item's skin, tick the
// item, save the name as DefaultUI. When the skin cannot be applied the
// error propagates after the first step: nothing stays ticked and DefaultUI
// is not written.
void beijing18Click(QMenu &miUI, QAction &item);

// Connects every skin item's triggered signal to beijing18Click. Errors reach
// the application's general error display.
void ConnectSkinMenu(QMenu &miUI);
