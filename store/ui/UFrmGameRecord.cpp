#include "UFrmGameRecord.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "GbkText.h"
#include "MessageBoxes.h"
#include "UBookType.h"
#include "UDataInterface.h"
#include "UFrmInputBox.h"
#include "ModalRunner.h"

namespace {
constexpr int kNameColumnWidth = 180;
constexpr int kScoreColumnWidth = 100;
// The leaderboard's name column holds at most 50 characters.
constexpr int kMaxNameLength = 50;
}  // namespace

TFrmGameRecord::TFrmGameRecord(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_lvBookInfo(new QTreeWidget(this)),
      m_sBitBtn1(new QPushButton(QStringLiteral("关闭(&C)"), this))
{
    setObjectName(QStringLiteral("FrmGameRecord"));
    setWindowTitle(QStringLiteral("排行榜"));
    m_lvBookInfo->setObjectName(QStringLiteral("lvBookInfo"));
    m_sBitBtn1->setObjectName(QStringLiteral("sBitBtn1"));

    m_lvBookInfo->setColumnCount(3);
    m_lvBookInfo->setHeaderLabels(
        {QStringLiteral("排名"), QStringLiteral("用户"), QStringLiteral("得分")});
    m_lvBookInfo->setRootIsDecorated(false);
    m_lvBookInfo->setItemsExpandable(false);
    m_lvBookInfo->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lvBookInfo->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lvBookInfo->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lvBookInfo->setAllColumnsShowFocus(true);
    m_lvBookInfo->setUniformRowHeights(true);
    m_lvBookInfo->header()->setStretchLastSection(false);
    m_lvBookInfo->header()->setSectionsMovable(false);
    m_lvBookInfo->setColumnWidth(1, kNameColumnWidth);
    m_lvBookInfo->setColumnWidth(2, kScoreColumnWidth);
    m_lvBookInfo->headerItem()->setTextAlignment(1, Qt::AlignCenter);
    m_lvBookInfo->headerItem()->setTextAlignment(2, Qt::AlignCenter);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_sBitBtn1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_lvBookInfo);
    layout->addLayout(buttons);

    connect(m_sBitBtn1, &QPushButton::clicked, this, &TFrmGameRecord::sBitBtn1Click);
    const int width = m_lvBookInfo->columnWidth(0) + kNameColumnWidth + kScoreColumnWidth
                      + 2 * m_lvBookInfo->frameWidth() + 24;
    setFixedSize(width + layout->contentsMargins().left() + layout->contentsMargins().right(), 440);
}

void TFrmGameRecord::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFrmGameRecord::FormShow()
{
    LoadGameRecords();
}

void TFrmGameRecord::LoadGameRecords()
{
    m_lvBookInfo->clear();
    for (const TGameRecordItem &record : ::LoadGameRecords()) {
        auto *item = new QTreeWidgetItem(m_lvBookInfo);
        item->setText(0, QString::number(record.Rank));
        item->setText(1, GbkToQString(record.Name));
        item->setText(2, QString::number(record.Score));
        item->setTextAlignment(1, Qt::AlignCenter);
        item->setTextAlignment(2, Qt::AlignCenter);
    }
}

void TFrmGameRecord::sBitBtn1Click()
{
    accept();
}

void RecordGameScore(QWidget *parent, int score)
{
    if (!AskYesNo(parent, QStringLiteral("是否记录您的游戏成绩？")))
        return;
    TFrmInputBox box(parent);
    box.setWindowTitle(QStringLiteral("用户名"));
    box.SetTitle(QStringLiteral("请输入您的名字："));
    box.Edit()->setMaxLength(kMaxNameLength);
    if (RunModal(box) != QDialog::Accepted)
        return;
    try {
        AddGameRecord(QStringToGbk(box.Text()), score);
    } catch (const EDatabaseError &e) {
        // A full disk or a database another program holds: the player hears
        // why in words, not the engine's.
        ShowMessage(parent, QStringLiteral("成绩记录失败：") + DatabaseFailureReason(e),
                    TMsgIcon::Exclamation);
    }
}
