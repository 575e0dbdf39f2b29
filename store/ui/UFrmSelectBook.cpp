#include "UFrmSelectBook.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "BusyGuard.h"
#include "GbkText.h"
#include "MessageBoxes.h"
#include "ProgressBarProgress.h"
#include "TextUtils.h"
#include "UBookType.h"
#include "UImpExpLib.h"

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

} // namespace

TFrmSelectBook::TFrmSelectBook(const TGamePara &para, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_para(para)
    , m_tvLibList(new QTreeWidget(this))
    , m_ediBookName(new QLineEdit(this))
    , m_ediWordCount(new QLineEdit(this))
    , m_rbLetter(new QRadioButton(QStringLiteral("按字母顺序"), this))
    , m_rbRandom(new QRadioButton(QStringLiteral("按打乱顺序"), this))
    , m_btnSelect(new QPushButton(QStringLiteral("确定"), this))
    , m_btnClose(new QPushButton(QStringLiteral("关闭"), this))
    , m_sProgressBar(new QProgressBar(this))
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
            const TBusyGuard busy(m_busy, {m_tvLibList, m_rbLetter, m_rbRandom, m_btnSelect,
                                           m_btnClose});
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
    m_para.TollGateCount = m_para.WordsPerGate > 0 ? CeilDiv(m_para.WordsPerGate, m_para.WordCount)
                                                   : 0;
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
