#include "UFrmImportLib.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include "BusyGuard.h"
#include "GbkText.h"
#include "MessageBoxes.h"
#include "ProgressBarProgress.h"
#include "Records.h"
#include "TextUtils.h"
#include "UBookType.h"
#include "UImpExpLib.h"
#include "WordFile.h"

namespace {

constexpr int kMaxFileNameLength = 255;
// The class chosen at first: "研究生英语".
constexpr int kDefaultClass = 4;

QString trimmedBlanks(const QString &text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text.at(start).unicode() <= 0x20)
        ++start;
    while (end > start && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(start, end - start);
}

} // namespace

TFrmImportLib::TFrmImportLib(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_sFileName(new QLineEdit(this))
    , m_sFileNameButton(new QToolButton(this))
    , m_cboBookClass(new QComboBox(this))
    , m_ediLibName(new QLineEdit(this))
    , m_pbImport(new QProgressBar(this))
    , m_btnImport(new QPushButton(QStringLiteral("开始导入"), this))
    , m_btnClose(new QPushButton(QStringLiteral("关闭"), this))
{
    setObjectName(QStringLiteral("FrmImportLib"));
    setWindowTitle(QStringLiteral("导入Kivro词库"));
    m_sFileName->setObjectName(QStringLiteral("sFileName"));
    m_sFileNameButton->setObjectName(QStringLiteral("sFileNameButton"));
    m_cboBookClass->setObjectName(QStringLiteral("cboBookClass"));
    m_ediLibName->setObjectName(QStringLiteral("ediLibName"));
    m_pbImport->setObjectName(QStringLiteral("pbImport"));
    m_btnImport->setObjectName(QStringLiteral("btnImport"));
    m_btnClose->setObjectName(QStringLiteral("btnClose"));

    m_sFileName->setMaxLength(kMaxFileNameLength);
    m_sFileName->setMinimumWidth(320);
    m_sFileNameButton->setText(QStringLiteral("..."));
    m_sFileNameButton->setToolTip(QStringLiteral("浏览"));
    for (int c = kFirstBookClass; c <= kLastImportClass; ++c)
        m_cboBookClass->addItem(GbkToQString(BookClassCaption(c)));
    m_cboBookClass->setCurrentIndex(kDefaultClass - 1);
    m_pbImport->setRange(0, 100);
    m_pbImport->setValue(0);
    m_btnImport->setDefault(true);

    auto *fileGroup = new QGroupBox(QStringLiteral("请选择需导入的词库文件"), this);
    auto *fileLayout = new QHBoxLayout(fileGroup);
    fileLayout->addWidget(m_sFileName, 1);
    fileLayout->addWidget(m_sFileNameButton);

    auto *bookGroup = new QGroupBox(QStringLiteral("词库类别及名称设置"), this);
    auto *bookLayout = new QFormLayout(bookGroup);
    bookLayout->addRow(QStringLiteral("类别"), m_cboBookClass);
    bookLayout->addRow(QStringLiteral("名称"), m_ediLibName);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_btnImport);
    buttons->addWidget(m_btnClose);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(fileGroup);
    layout->addWidget(bookGroup);
    layout->addWidget(m_pbImport);
    layout->addLayout(buttons);

    connect(m_sFileName, &QLineEdit::textChanged, this, &TFrmImportLib::sFileNameChange);
    connect(m_sFileNameButton, &QToolButton::clicked, this, &TFrmImportLib::sFileNameBrowse);
    connect(m_btnImport, &QPushButton::clicked, this, &TFrmImportLib::btnImportClick);
    connect(m_btnClose, &QPushButton::clicked, this, &TFrmImportLib::btnCloseClick);
}

void TFrmImportLib::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        if (const QScreen *screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
    }
}

void TFrmImportLib::sFileNameChange()
{
    m_ediLibName->setText(GbkToQString(ExtractBaseName(QStringToGbk(m_sFileName->text()))));
}

void TFrmImportLib::sFileNameBrowse()
{
    const QString file = QFileDialog::getOpenFileName(
        this, QStringLiteral("请选择需导入的词库文件"), QFileInfo(m_sFileName->text()).path(),
        QStringLiteral("词库文件 (*.txt *.TXT)"));
    if (!file.isEmpty())
        m_sFileName->setText(file);
}

void TFrmImportLib::btnImportClick()
{
    m_pbImport->setValue(0);
    if (trimmedBlanks(m_sFileName->text()).isEmpty()) {
        ShowMessage(this, QStringLiteral("请选择要导入的词库文件！"), TMsgIcon::Information);
        return;
    }
    if (trimmedBlanks(m_ediLibName->text()).isEmpty()) {
        ShowMessage(this, QStringLiteral("请设置导入后的词库文件名称！"), TMsgIcon::Information);
        return;
    }
    // Book names are kept as GBK: a name GBK cannot hold would be stored
    // changed; one with "#@#" or a line break would break the recent list.
    const QString typed = m_ediLibName->text();
    const std::optional<std::string> name = QStringToGbkStrict(typed);
    if (!name || !FitsRecentLineField(*name)) {
        ShowMessage(this, QStringLiteral("词库名称中含有无法保存的字符，请重新设置！"),
                    TMsgIcon::Information);
        return;
    }
    if (BookNameExists(*name)) {
        ShowMessage(this, QStringLiteral("您设置的词库已经存在，请重新设置！"),
                    TMsgIcon::Information);
        return;
    }
    // Paths written the Windows way are accepted too.
    QString file = m_sFileName->text();
    if (!QFileInfo::exists(file) && file.contains(QLatin1Char('\\')))
        file.replace(QLatin1Char('\\'), QLatin1Char('/'));

    bool imported = false;
    {
        const TBusyGuard busy(m_busy, {m_sFileName, m_sFileNameButton, m_cboBookClass,
                                       m_ediLibName, m_btnImport, m_btnClose});
        TProgressBarProgress progress(m_pbImport, this);
        imported = ImportWordLibrary(file, *name, progress, m_cboBookClass->currentIndex() + 1);
    }
    if (imported)
        ShowMessage(this, QStringLiteral("恭喜您,导入词库成功了！"), TMsgIcon::Exclamation);
    else
        ShowMessage(this, QStringLiteral("导入词库失败了！"), TMsgIcon::Exclamation);
}

void TFrmImportLib::btnCloseClick()
{
    reject();
}

void TFrmImportLib::reject()
{
    if (m_busy)
        return;  // Esc and the close box wait for the import to finish
    QDialog::reject();
}

void TFrmImportLib::closeEvent(QCloseEvent *event)
{
    if (m_busy) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
