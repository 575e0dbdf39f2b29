#include "UFrmSelectBook.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "BookManage.h"
#include "BusyGuard.h"
#include "Clock.h"
#include "GbkText.h"
#include "MessageBoxes.h"
#include "ProgressBarProgress.h"
#include "Records.h"
#include "TextUtils.h"
#include "UBookType.h"
#include "UFrmInputBox.h"
#include "UImpExpLib.h"
#include "WordFile.h"
#include "WordMemory.h"
#include "WordTables.h"

namespace {

constexpr int kBookIdRole = Qt::UserRole;
constexpr int kBookNameRole = Qt::UserRole + 1;  // the name's GBK bytes, compared exactly

// The selection dialog's tree as the catalogue fills it.
class TreeWidgetBooks final : public TBookTree {
public:
    explicit TreeWidgetBooks(QTreeWidget *tree) : m_tree(tree) {}

    void Clear() override { m_tree->clear(); }
    int AddClassNode(const std::string &caption) override
    {
        new QTreeWidgetItem(m_tree, QStringList{GbkToQString(caption)});
        return m_tree->topLevelItemCount() - 1;
    }
    void AddBookNode(int classNode, const std::string &caption, int id) override
    {
        auto *item = new QTreeWidgetItem(m_tree->topLevelItem(classNode),
                                         QStringList{GbkToQString(caption)});
        item->setData(0, kBookIdRole, id);
        item->setData(0, kBookNameRole, QByteArray::fromStdString(caption));
    }
    void AddHiddenBookNode(int classNode, const std::string &caption, int id) override
    {
        AddBookNode(classNode, caption, id);
        QTreeWidgetItem *node = m_tree->topLevelItem(classNode);
        QTreeWidgetItem *item = node->child(node->childCount() - 1);
        item->setText(0, item->text(0) + QStringLiteral("（已隐藏）"));
        item->setForeground(0, m_tree->palette().brush(QPalette::Disabled, QPalette::Text));
    }
    void ReleaseBookIds() override
    {
        for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
            QTreeWidgetItem *node = m_tree->topLevelItem(i);
            for (int k = 0; k < node->childCount(); ++k) {
                node->child(k)->setData(0, kBookIdRole, QVariant());
                node->child(k)->setData(0, kBookNameRole, QVariant());
            }
        }
    }

private:
    QTreeWidget *m_tree;
};

// Table names are compared as the engine does, without regard to case.
bool sameTable(const std::string &a, const std::string &b)
{
    return GbkToQString(a).compare(GbkToQString(b), Qt::CaseInsensitive) == 0;
}

}  // namespace

TFrmSelectBook::TFrmSelectBook(const TGamePara &para, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_para(para),
      m_tvLibList(new QTreeWidget(this)), m_ediBookName(new QLineEdit(this)),
      m_ediWordCount(new QLineEdit(this)),
      m_rbLetter(new QRadioButton(QStringLiteral("按字母顺序"), this)),
      m_rbRandom(new QRadioButton(QStringLiteral("按打乱顺序"), this)),
      m_btnSelect(new QPushButton(QStringLiteral("确定"), this)),
      m_btnClose(new QPushButton(QStringLiteral("关闭"), this)),
      m_btnDelete(new QPushButton(QStringLiteral("删除课本"), this)),
      m_btnRename(new QPushButton(QStringLiteral("重命名"), this)),
      m_btnHide(new QPushButton(QStringLiteral("隐藏课本"), this)),
      m_cbShowHidden(new QCheckBox(QStringLiteral("列出隐藏的课本"), this)),
      m_sProgressBar(new QProgressBar(this))
{
    setObjectName(QStringLiteral("FrmSelectBook"));
    setWindowTitle(QStringLiteral("选择课本"));
    m_tvLibList->setObjectName(QStringLiteral("tvLibList"));
    m_ediBookName->setObjectName(QStringLiteral("ediBookName"));
    m_ediWordCount->setObjectName(QStringLiteral("ediWordCount"));
    m_rbLetter->setObjectName(QStringLiteral("rbLetter"));
    m_rbRandom->setObjectName(QStringLiteral("rbRandom"));
    m_btnSelect->setObjectName(QStringLiteral("btnSelect"));
    m_btnClose->setObjectName(QStringLiteral("btnClose"));
    m_sProgressBar->setObjectName(QStringLiteral("sProgressBar"));
    m_btnDelete->setObjectName(QStringLiteral("btnDelete"));
    m_btnRename->setObjectName(QStringLiteral("btnRename"));
    m_btnHide->setObjectName(QStringLiteral("btnHide"));
    m_cbShowHidden->setObjectName(QStringLiteral("cbShowHidden"));
    m_btnDelete->setAutoDefault(false);
    m_btnRename->setAutoDefault(false);
    m_btnHide->setAutoDefault(false);

    m_tvLibList->setHeaderHidden(true);
    m_tvLibList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tvLibList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tvLibList->setMinimumSize(240, 300);
    m_ediBookName->setReadOnly(true);
    m_ediWordCount->setReadOnly(true);
    m_ediBookName->setMinimumWidth(200);
    m_rbLetter->setChecked(true);
    m_sProgressBar->setVisible(false);
    m_sProgressBar->setTextVisible(false);
    m_btnSelect->setDefault(true);

    auto *treeGroup = new QGroupBox(QStringLiteral("课本信息"), this);
    auto *treeLayout = new QVBoxLayout(treeGroup);
    treeLayout->addWidget(m_tvLibList);
    treeLayout->addWidget(m_cbShowHidden);
    auto *manage = new QHBoxLayout;
    manage->addWidget(m_btnDelete);
    manage->addWidget(m_btnRename);
    manage->addWidget(m_btnHide);
    treeLayout->addLayout(manage);

    auto *infoGroup = new QGroupBox(QStringLiteral("课本信息"), this);
    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("课本名称"), m_ediBookName);
    fields->addRow(QStringLiteral("单词数"), m_ediWordCount);
    auto *orderGroup = new QGroupBox(QStringLiteral("单词顺序"), infoGroup);
    auto *orderLayout = new QVBoxLayout(orderGroup);
    orderLayout->addWidget(m_rbLetter);
    orderLayout->addWidget(m_rbRandom);
    auto *infoLayout = new QVBoxLayout(infoGroup);
    infoLayout->addLayout(fields);
    infoLayout->addWidget(orderGroup);
    infoLayout->addStretch();

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_btnSelect);
    buttons->addWidget(m_btnClose);

    auto *right = new QVBoxLayout;
    right->addWidget(infoGroup);
    right->addWidget(m_sProgressBar);
    right->addLayout(buttons);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(treeGroup, 1);
    layout->addLayout(right);

    // The fields follow the current node however it changes: mouse or keyboard.
    connect(m_tvLibList, &QTreeWidget::currentItemChanged, this, &TFrmSelectBook::tvLibListClick);
    connect(m_btnSelect, &QPushButton::clicked, this, &TFrmSelectBook::btnSelectClick);
    connect(m_btnClose, &QPushButton::clicked, this, &TFrmSelectBook::btnCloseClick);
    connect(m_btnDelete, &QPushButton::clicked, this, &TFrmSelectBook::btnDeleteClick);
    connect(m_btnRename, &QPushButton::clicked, this, &TFrmSelectBook::btnRenameClick);
    connect(m_btnHide, &QPushButton::clicked, this, &TFrmSelectBook::btnHideClick);
    connect(m_cbShowHidden, &QCheckBox::clicked, this, &TFrmSelectBook::cbShowHiddenClick);
    m_tvLibList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_tvLibList, &QTreeWidget::customContextMenuRequested, this,
            &TFrmSelectBook::tvLibListContextMenu);
}

void TFrmSelectBook::tvLibListContextMenu(const QPoint &pos)
{
    const QTreeWidgetItem *item = m_tvLibList->itemAt(pos);
    if (!item || !item->data(0, kBookIdRole).isValid() || m_busy)
        return;
    const int id = item->data(0, kBookIdRole).toInt();
    QMenu menu(this);
    QAction *add = menu.addAction(QStringLiteral("加入生词本…"));
    add->setObjectName(QStringLiteral("miAddNewWord"));
    QAction *known = menu.addAction(QStringLiteral("已掌握…"));
    known->setObjectName(QStringLiteral("miKnownWord"));
    connect(add, &QAction::triggered, this, [this, id] { AddWordByHand(id, false); });
    connect(known, &QAction::triggered, this, [this, id] { AddWordByHand(id, true); });
    menu.exec(m_tvLibList->viewport()->mapToGlobal(pos));
}

void TFrmSelectBook::AddWordByHand(int bookId, bool known)
{
    TFrmInputBox input(this);
    input.setWindowTitle(known ? QStringLiteral("已掌握") : QStringLiteral("加入生词本"));
    input.SetTitle(
        QStringLiteral("请输入课本“%1”中的单词：").arg(GbkToQString(GetBookName(bookId))));
    input.SetUnsavableMessage(QStringLiteral("单词中含有无法保存的字符，请重新输入！"));
    if (input.exec() != QDialog::Accepted)
        return;
    const std::optional<std::string> spelling = QStringToGbkStrict(input.Text().trimmed());
    const std::optional<TWordInfo> word = spelling ? FindBookWord(bookId, *spelling) : std::nullopt;
    if (!word) {
        ShowMessage(this, QStringLiteral("课本中没有单词“%1”。").arg(input.Text().trimmed()),
                    TMsgIcon::Information);
        return;
    }
    const bool done =
        known ? MarkWordKnown(*word, ProgramClock().NowMs()) : AddToNewWordsBook(*word);
    if (!done) {
        ShowMessage(this, QStringLiteral("无法保存学习记录！"), TMsgIcon::Information);
        return;
    }
    ShowMessage(this,
                known ? QStringLiteral("“%1”已标为已掌握。").arg(GbkToQString(word->Spelling))
                      : QStringLiteral("“%1”已加入生词本。").arg(GbkToQString(word->Spelling)),
                TMsgIcon::Information);
    // The new-words book may be new, or hold another number of words.
    refillTree(currentBookId());
}

TFrmSelectBook::~TFrmSelectBook()
{
    FormDestroy();
}

void TFrmSelectBook::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFrmSelectBook::FormShow()
{
    TreeWidgetBooks books(m_tvLibList);
    {
        const QSignalBlocker quiet(m_tvLibList);
        FillBookTree(books);
    }
    m_tvLibList->expandAll();
    if (m_para.BookType == kBookTypeShuffled)
        m_rbRandom->setChecked(true);

    const QByteArray wanted = QByteArray::fromStdString(m_para.BookName);
    QTreeWidgetItem *match = nullptr;
    for (QTreeWidgetItemIterator it(m_tvLibList); *it; ++it) {
        const QVariant name = (*it)->data(0, kBookNameRole);
        if (name.isValid() && name.toByteArray() == wanted)
            match = *it;  // with two matches the later one stays
    }
    if (match) {
        m_tvLibList->setCurrentItem(match);
        ShowBookInfo();
    } else if (m_tvLibList->topLevelItemCount() > 0) {
        m_tvLibList->setCurrentItem(m_tvLibList->topLevelItem(0));
    }
    updateBookButtons();
    m_tvLibList->setFocus();
}

int TFrmSelectBook::currentBookId() const
{
    const QTreeWidgetItem *item = m_tvLibList->currentItem();
    if (!item)
        return -1;
    const QVariant id = item->data(0, kBookIdRole);
    return id.isValid() ? id.toInt() : -1;
}

void TFrmSelectBook::ShowBookInfo()
{
    const int id = currentBookId();
    if (id < 0)
        return;
    m_ediBookName->setText(GbkToQString(GetBookName(id)));
    m_ediWordCount->setText(QString::number(GetBookWordNumber(id)));
}

void TFrmSelectBook::tvLibListClick()
{
    const QTreeWidgetItem *item = m_tvLibList->currentItem();
    if (item && item->data(0, kBookIdRole).isValid())
        ShowBookInfo();
    updateBookButtons();
}

void TFrmSelectBook::updateBookButtons()
{
    const int id = currentBookId();
    const bool book = id >= 0;
    const bool shipped = book && IsShippedBook(id);
    m_btnDelete->setEnabled(book && !shipped);
    m_btnRename->setEnabled(book && !shipped);
    m_btnHide->setEnabled(book);
    m_btnHide->setText(book && IsBookHidden(id) ? QStringLiteral("显示课本")
                                                : QStringLiteral("隐藏课本"));
}

void TFrmSelectBook::refillTree(int selectId)
{
    TreeWidgetBooks books(m_tvLibList);
    {
        const QSignalBlocker quiet(m_tvLibList);
        FreeBookTreeData(books);
        FillBookTree(books, m_cbShowHidden->isChecked());
    }
    m_tvLibList->expandAll();
    QTreeWidgetItem *select = m_tvLibList->topLevelItem(0);
    for (QTreeWidgetItemIterator it(m_tvLibList); *it; ++it) {
        const QVariant id = (*it)->data(0, kBookIdRole);
        if (id.isValid() && id.toInt() == selectId)
            select = *it;
    }
    m_ediBookName->clear();
    m_ediWordCount->clear();
    m_tvLibList->setCurrentItem(select);
    tvLibListClick();
}

void TFrmSelectBook::startFirstBook()
{
    // A hidden book is no choice for the game.
    QTreeWidget visible;
    TreeWidgetBooks shown(&visible);
    FillBookTree(shown);
    int first = -1;
    for (QTreeWidgetItemIterator it(&visible); *it && first < 0; ++it) {
        const QVariant id = (*it)->data(0, kBookIdRole);
        if (id.isValid())
            first = id.toInt();
    }
    m_para.TollGateIndex = 1;
    m_para.BookType = kBookTypeLetter;
    m_para.BookName = first >= 0 ? GetBookName(first) : std::string();
    m_para.StoreTableName = first >= 0 ? GetBookTableName(first) : std::string();
    m_para.WordCount = first >= 0 ? GetBookWordNumber(first) : 0;
    m_para.TollGateCount = TollGateCountOf(m_para);
}

void TFrmSelectBook::btnDeleteClick()
{
    const int id = currentBookId();
    if (id < 0 || IsShippedBook(id))
        return;
    const std::string name = GetBookName(id);
    if (!AskYesNo(this, QStringLiteral("确定要删除课本“%1”吗？删除后它的单词将无法恢复。")
                            .arg(GbkToQString(name))))
        return;
    const std::string table = GetBookTableName(id);
    const bool current = sameTable(m_para.StoreTableName, table)
                         || sameTable(m_para.StoreTableName, ShuffledTableName(id));
    if (!DeleteBook(id)) {
        ShowMessage(this, QStringLiteral("删除课本失败了！"), TMsgIcon::Information);
        return;
    }
    if (current) {
        m_currentDeleted = true;
        startFirstBook();
    }
    refillTree(-1);
}

void TFrmSelectBook::btnRenameClick()
{
    const int id = currentBookId();
    if (id < 0 || IsShippedBook(id))
        return;
    const std::string oldName = GetBookName(id);
    TFrmInputBox input(this);
    input.setWindowTitle(QStringLiteral("新的课本名称"));
    input.SetTitle(QStringLiteral("请输入课本“%1”的新名称：").arg(GbkToQString(oldName)));
    input.Edit()->setText(GbkToQString(oldName));
    input.Edit()->selectAll();
    const QString unsavable = QStringLiteral("词库名称中含有无法保存的字符，请重新设置！");
    input.SetUnsavableMessage(unsavable);
    if (input.exec() != QDialog::Accepted)
        return;
    // The import's rules: GBK must hold it, and the recent list must too.
    const std::optional<std::string> name = QStringToGbkStrict(input.Text());
    if (!name || !FitsRecentLineField(*name)) {
        ShowMessage(this, unsavable, TMsgIcon::Information);
        return;
    }
    if (*name == oldName)
        return;
    if (BookNameExists(*name)) {
        ShowMessage(this, QStringLiteral("您设置的词库已经存在，请重新设置！"),
                    TMsgIcon::Information);
        return;
    }
    if (!RenameBook(id, *name)) {
        ShowMessage(this, QStringLiteral("重命名课本失败了！"), TMsgIcon::Information);
        return;
    }
    if (m_para.BookName == oldName)
        m_para.BookName = *name;
    refillTree(id);
}

void TFrmSelectBook::btnHideClick()
{
    const int id = currentBookId();
    if (id < 0)
        return;
    if (!SetBookHidden(id, !IsBookHidden(id))) {
        ShowMessage(this, QStringLiteral("无法更改课本的显示状态！"), TMsgIcon::Information);
        return;
    }
    refillTree(id);
}

void TFrmSelectBook::cbShowHiddenClick()
{
    refillTree(currentBookId());
}

void TFrmSelectBook::btnSelectClick()
{
    const QTreeWidgetItem *item = m_tvLibList->currentItem();
    if (!item || !item->data(0, kBookIdRole).isValid()) {
        ShowMessage(this, QStringLiteral("请选择课本！"), TMsgIcon::Information);
        return;
    }
    const int nodeId = currentBookId();
    const int order = m_rbRandom->isChecked() ? kBookTypeShuffled : kBookTypeLetter;
    // The name of the node's own row, so the book chosen is the book shown.
    const std::string bookName = GetBookName(nodeId);
    int id = GetBookId(bookName, order);

    m_sProgressBar->setValue(0);
    m_sProgressBar->setVisible(true);
    struct HideBar {
        QProgressBar *bar;
        ~HideBar() { bar->setVisible(false); }
    } hideBar{m_sProgressBar};

    if (order == kBookTypeShuffled && id == -1) {
        if (!AskYesNo(this, QStringLiteral("您需要创建打乱词库，是否创建？")))
            return;
        {
            const TBusyGuard busy(m_busy,
                                  {m_tvLibList, m_rbLetter, m_rbRandom, m_btnSelect, m_btnClose,
                                   m_btnDelete, m_btnRename, m_btnHide, m_cbShowHidden});
            TProgressBarProgress progress(m_sProgressBar, this);
            id = BuildShuffledBook(nodeId, bookName, progress);
        }
        if (id == -1) {
            ShowMessage(this, QStringLiteral("创建打乱词库失败。"), TMsgIcon::Information);
            return;
        }
        ShowMessage(this, QStringLiteral("创建打乱词库成功。"), TMsgIcon::Information);
    }
    // A node whose row is not of this word order (a book registered only as
    // a shuffled copy) has no row to play in letter order.
    if (id == -1) {
        ShowMessage(this, QStringLiteral("请选择课本！"), TMsgIcon::Information);
        return;
    }
    m_sProgressBar->setVisible(false);

    m_para.TollGateIndex = 1;
    m_para.BookName = GetBookName(id);
    m_para.WordCount = GetBookWordNumber(id);
    m_para.StoreTableName = GetBookTableName(id);
    m_para.TollGateCount = TollGateCountOf(m_para);
    m_para.BookType = order;
    accept();
}

void TFrmSelectBook::btnCloseClick()
{
    reject();
}

void TFrmSelectBook::reject()
{
    if (m_busy)
        return;  // Esc and the close box wait for the copy to finish
    QDialog::reject();
}

void TFrmSelectBook::closeEvent(QCloseEvent *event)
{
    if (m_busy) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TFrmSelectBook::FormDestroy()
{
    TreeWidgetBooks books(m_tvLibList);
    FreeBookTreeData(books);
}
