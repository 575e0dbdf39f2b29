#include "UFrmTextBook.h"

#include <algorithm>
#include <numeric>

#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "BusyGuard.h"
#include "GbkText.h"
#include "MessageBoxes.h"
#include "ProgressBarProgress.h"
#include "Settings.h"
#include "TextUtils.h"
#include "UBookType.h"
#include "UImpExpLib.h"
#include "WordFile.h"

namespace {

// The class chosen at first: "研究生英语", as the word-list import.
constexpr int kDefaultClass = 4;

enum TWordColumn { kColSpelling, kColCount, kColPronunciation, kColMeaning, kColumns };

QString encodingCaption(TWordFileEncoding encoding)
{
    switch (encoding) {
    case TWordFileEncoding::Gbk:
        return QStringLiteral("GBK/GB18030");
    case TWordFileEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TWordFileEncoding::Utf16LE:
    case TWordFileEncoding::Utf16BE:
        return QStringLiteral("UTF-16");
    case TWordFileEncoding::Big5:
        return QStringLiteral("Big5");
    }
    return {};
}

QString joined(const std::vector<std::string> &items)
{
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string &item : items)
        texts << GbkToQString(item);
    return texts.join(QStringLiteral("  "));
}

QString trimmedBlanks(const QString &text)
{
    return text.trimmed();
}

}  // namespace

TFrmTextBook::TFrmTextBook(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_edtText(new QPlainTextEdit(this)),
      m_btnReadText(new QPushButton(QStringLiteral("读取文字"), this)),
      m_sFileName(new QLineEdit(this)), m_sFileNameButton(new QToolButton(this)),
      m_cboOrder(new QComboBox(this)), m_btnCheckAll(new QPushButton(QStringLiteral("全选"), this)),
      m_btnCheckNone(new QPushButton(QStringLiteral("全不选"), this)),
      m_tvWords(new QTableWidget(0, kColumns, this)), m_labWords(new QLabel(this)),
      m_edtLeftOut(new QPlainTextEdit(this)), m_cboBookClass(new QComboBox(this)),
      m_ediLibName(new QLineEdit(this)), m_pbImport(new QProgressBar(this)),
      m_btnImport(new QPushButton(QStringLiteral("生成课本"), this)),
      m_btnClose(new QPushButton(QStringLiteral("关闭"), this))
{
    setObjectName(QStringLiteral("FrmTextBook"));
    setWindowTitle(QStringLiteral("从文章生成课本"));
    m_edtText->setObjectName(QStringLiteral("edtText"));
    m_btnReadText->setObjectName(QStringLiteral("btnReadText"));
    m_sFileName->setObjectName(QStringLiteral("sFileName"));
    m_sFileNameButton->setObjectName(QStringLiteral("sFileNameButton"));
    m_cboOrder->setObjectName(QStringLiteral("cboOrder"));
    m_btnCheckAll->setObjectName(QStringLiteral("btnCheckAll"));
    m_btnCheckNone->setObjectName(QStringLiteral("btnCheckNone"));
    m_tvWords->setObjectName(QStringLiteral("tvWords"));
    m_labWords->setObjectName(QStringLiteral("labWords"));
    m_edtLeftOut->setObjectName(QStringLiteral("edtLeftOut"));
    m_cboBookClass->setObjectName(QStringLiteral("cboBookClass"));
    m_ediLibName->setObjectName(QStringLiteral("ediLibName"));
    m_pbImport->setObjectName(QStringLiteral("pbImport"));
    m_btnImport->setObjectName(QStringLiteral("btnImport"));
    m_btnClose->setObjectName(QStringLiteral("btnClose"));

    m_edtText->setPlaceholderText(QStringLiteral("在这里粘贴英文文章，然后单击“读取文字”"));
    m_edtText->setMaximumHeight(90);
    m_sFileName->setReadOnly(true);
    m_sFileName->setMinimumWidth(320);
    m_sFileName->setPlaceholderText(QStringLiteral("文章或字幕文件（.txt .srt .ass .vtt）"));
    m_sFileNameButton->setText(QStringLiteral("..."));
    m_sFileNameButton->setToolTip(QStringLiteral("浏览"));
    m_cboOrder->addItems({QStringLiteral("按出现顺序"), QStringLiteral("按出现次数")});
    m_tvWords->setHorizontalHeaderLabels({QStringLiteral("单词"), QStringLiteral("次数"),
                                          QStringLiteral("音标"), QStringLiteral("解释")});
    m_tvWords->verticalHeader()->setVisible(false);
    m_tvWords->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_tvWords->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tvWords->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tvWords->setWordWrap(false);
    m_tvWords->horizontalHeader()->setStretchLastSection(true);
    m_tvWords->setColumnWidth(kColSpelling, 130);
    m_tvWords->setColumnWidth(kColCount, 44);
    m_tvWords->setColumnWidth(kColPronunciation, 110);
    m_tvWords->setMinimumSize(560, 240);
    m_labWords->setTextFormat(Qt::PlainText);
    m_edtLeftOut->setReadOnly(true);
    m_edtLeftOut->setMaximumHeight(70);
    for (int c = kFirstBookClass; c <= kLastImportClass; ++c)
        m_cboBookClass->addItem(GbkToQString(BookClassCaption(c)));
    m_cboBookClass->setCurrentIndex(kDefaultClass - 1);
    m_pbImport->setRange(0, 100);
    m_pbImport->setValue(0);

    auto *sourceGroup = new QGroupBox(QStringLiteral("文章"), this);
    auto *sourceLayout = new QVBoxLayout(sourceGroup);
    auto *pasteRow = new QHBoxLayout;
    pasteRow->addWidget(m_edtText, 1);
    pasteRow->addWidget(m_btnReadText, 0, Qt::AlignBottom);
    sourceLayout->addLayout(pasteRow);
    auto *fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("或选择文件"), sourceGroup));
    fileRow->addWidget(m_sFileName, 1);
    fileRow->addWidget(m_sFileNameButton);
    sourceLayout->addLayout(fileRow);

    auto *wordsGroup = new QGroupBox(QStringLiteral("单词"), this);
    auto *wordsLayout = new QVBoxLayout(wordsGroup);
    auto *orderRow = new QHBoxLayout;
    orderRow->addWidget(new QLabel(QStringLiteral("排序"), wordsGroup));
    orderRow->addWidget(m_cboOrder);
    orderRow->addStretch();
    orderRow->addWidget(m_btnCheckAll);
    orderRow->addWidget(m_btnCheckNone);
    wordsLayout->addLayout(orderRow);
    wordsLayout->addWidget(m_tvWords, 1);
    wordsLayout->addWidget(m_labWords);
    wordsLayout->addWidget(
        new QLabel(QStringLiteral("未收入（人名与缩写、数字、词典中没有的词）"), wordsGroup));
    wordsLayout->addWidget(m_edtLeftOut);

    auto *bookGroup = new QGroupBox(QStringLiteral("词库类别及名称设置"), this);
    auto *bookLayout = new QFormLayout(bookGroup);
    bookLayout->addRow(QStringLiteral("类别"), m_cboBookClass);
    bookLayout->addRow(QStringLiteral("名称"), m_ediLibName);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_btnImport);
    buttons->addWidget(m_btnClose);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(sourceGroup);
    layout->addWidget(wordsGroup, 1);
    layout->addWidget(bookGroup);
    layout->addWidget(m_pbImport);
    layout->addLayout(buttons);

    connect(m_btnReadText, &QPushButton::clicked, this, &TFrmTextBook::btnReadTextClick);
    connect(m_sFileNameButton, &QToolButton::clicked, this, &TFrmTextBook::sFileNameBrowse);
    connect(m_cboOrder, &QComboBox::currentIndexChanged, this, &TFrmTextBook::cboOrderChange);
    connect(m_btnCheckAll, &QPushButton::clicked, this, &TFrmTextBook::btnCheckAllClick);
    connect(m_btnCheckNone, &QPushButton::clicked, this, &TFrmTextBook::btnCheckNoneClick);
    connect(m_tvWords, &QTableWidget::itemChanged, this, &TFrmTextBook::itemChanged);
    connect(m_btnImport, &QPushButton::clicked, this, &TFrmTextBook::btnImportClick);
    connect(m_btnClose, &QPushButton::clicked, this, &TFrmTextBook::btnCloseClick);
}

void TFrmTextBook::sFileNameBrowse()
{
    const QString file = QFileDialog::getOpenFileName(
        this, QStringLiteral("请选择文章或字幕文件"), QFileInfo(m_sFileName->text()).path(),
        QStringLiteral("文章和字幕 (*.txt *.srt *.ass *.ssa *.vtt *.TXT *.SRT *.ASS *.VTT)"));
    if (!file.isEmpty())
        LoadFile(file);
}

bool TFrmTextBook::LoadFile(const QString &file)
{
    m_sFileName->setText(file);
    std::string bytes;
    try {
        bytes = ReadWordFileBytes(file);
    } catch (const EWordFileError &error) {
        setWords({}, {});
        m_labWords->setText(QString::fromUtf8(error.what()));
        return false;
    }
    TTextWords words = TextWordsOfBytes(bytes, TextKindOfFile(file), ProgramReferenceData());
    const QString source = QStringLiteral("识别出的编码：%1").arg(encodingCaption(words.Encoding));
    setWords(std::move(words), source);
    m_ediLibName->setText(QFileInfo(file).completeBaseName());
    return true;
}

void TFrmTextBook::btnReadTextClick()
{
    QString text = m_edtText->toPlainText();
    if (trimmedBlanks(text).isEmpty()) {
        ShowMessage(this, QStringLiteral("请先粘贴英文文章！"), TMsgIcon::Information);
        return;
    }
    text.replace(QChar(0x00A0), QLatin1Char(' '));
    m_sFileName->clear();
    setWords(TextWordsOfBytes(text.toStdString(), TTextKind::Plain, ProgramReferenceData(),
                              TWordFileEncoding::Utf8),
             QStringLiteral("来自粘贴的文字"));
}

void TFrmTextBook::setWords(TTextWords words, const QString &source)
{
    m_words = std::move(words);
    m_source = source;
    m_checked.assign(m_words.Words.size(), 1);
    fillPreview();
    const auto list = [](const QString &caption, const std::vector<std::string> &items) {
        return items.empty() ? QString() : caption + joined(items) + QLatin1Char('\n');
    };
    m_edtLeftOut->setPlainText(list(QStringLiteral("人名与缩写："), m_words.Names)
                               + list(QStringLiteral("数字："), m_words.Numbers)
                               + list(QStringLiteral("词典中没有："), m_words.Unknown));
}

void TFrmTextBook::cboOrderChange()
{
    fillPreview();
}

void TFrmTextBook::fillPreview()
{
    m_order.resize(m_words.Words.size());
    std::iota(m_order.begin(), m_order.end(), size_t{0});
    if (m_cboOrder->currentIndex() == 1) {
        // Most frequent first; a tie keeps the order of appearance.
        std::stable_sort(m_order.begin(), m_order.end(), [&](size_t a, size_t b) {
            return m_words.Words[a].Count > m_words.Words[b].Count;
        });
    }
    m_filling = true;
    m_tvWords->setUpdatesEnabled(false);
    m_tvWords->clearContents();
    m_tvWords->setRowCount(static_cast<int>(m_order.size()));
    for (size_t row = 0; row < m_order.size(); ++row) {
        const TTextWord &word = m_words.Words[m_order[row]];
        auto *spelling = new QTableWidgetItem(GbkToQString(word.Spelling));
        spelling->setFlags(spelling->flags() | Qt::ItemIsUserCheckable);
        spelling->setCheckState(m_checked[m_order[row]] != 0 ? Qt::Checked : Qt::Unchecked);
        spelling->setToolTip(GbkToQString(word.Sentence));
        auto *count = new QTableWidgetItem(QString::number(word.Count));
        count->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        const int r = static_cast<int>(row);
        m_tvWords->setItem(r, kColSpelling, spelling);
        m_tvWords->setItem(r, kColCount, count);
        m_tvWords->setItem(r, kColPronunciation,
                           new QTableWidgetItem(GbkToQString(word.Pronunciation)));
        m_tvWords->setItem(r, kColMeaning, new QTableWidgetItem(GbkToQString(word.Meaning)));
    }
    m_tvWords->setUpdatesEnabled(true);
    m_filling = false;

    updateSummary();
}

void TFrmTextBook::updateSummary()
{
    const auto checked = std::count(m_checked.begin(), m_checked.end(), char{1});
    QString info = QStringLiteral("共%1个词次，%2个单词，已选%3个")
                       .arg(m_words.Tokens)
                       .arg(m_words.Words.size())
                       .arg(checked);
    if (!m_source.isEmpty())
        info += QStringLiteral("；") + m_source;
    if (m_words.BadLines > 0)
        info += QStringLiteral("；%1行无法识别，已略过").arg(m_words.BadLines);
    m_labWords->setText(info);
}

void TFrmTextBook::itemChanged(QTableWidgetItem *item)
{
    if (m_filling || item->column() != kColSpelling)
        return;
    const size_t row = static_cast<size_t>(item->row());
    if (row >= m_order.size())
        return;
    m_checked[m_order[row]] = item->checkState() == Qt::Checked ? 1 : 0;
    updateSummary();
}

void TFrmTextBook::setAllChecked(bool checked)
{
    std::fill(m_checked.begin(), m_checked.end(), checked ? 1 : 0);
    fillPreview();
}

void TFrmTextBook::btnCheckAllClick()
{
    setAllChecked(true);
}

void TFrmTextBook::btnCheckNoneClick()
{
    setAllChecked(false);
}

std::vector<TTextWord> TFrmTextBook::CheckedWords() const
{
    std::vector<TTextWord> words;
    for (size_t index : m_order) {
        if (m_checked[index] != 0)
            words.push_back(m_words.Words[index]);
    }
    return words;
}

void TFrmTextBook::btnImportClick()
{
    m_pbImport->setValue(0);
    const std::vector<TTextWord> words = CheckedWords();
    if (m_words.Words.empty()) {
        ShowMessage(this, QStringLiteral("请粘贴文章或选择文件！"), TMsgIcon::Information);
        return;
    }
    if (words.empty()) {
        ShowMessage(this, QStringLiteral("请至少选择一个单词！"), TMsgIcon::Information);
        return;
    }
    if (trimmedBlanks(m_ediLibName->text()).isEmpty()) {
        ShowMessage(this, QStringLiteral("请设置导入后的词库文件名称！"), TMsgIcon::Information);
        return;
    }
    // The names a book may have are those the word-list import accepts.
    const std::optional<std::string> name = QStringToGbkStrict(m_ediLibName->text());
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
    bool imported = false;
    {
        const TBusyGuard busy(m_busy, {m_edtText, m_btnReadText, m_sFileNameButton, m_cboOrder,
                                       m_btnCheckAll, m_btnCheckNone, m_tvWords, m_cboBookClass,
                                       m_ediLibName, m_btnImport, m_btnClose});
        TProgressBarProgress progress(m_pbImport, this);
        imported = ImportWordList(TextWordList(words, IsScrambleOn()), *name, progress,
                                  m_cboBookClass->currentIndex() + 1);
    }
    if (imported)
        ShowMessage(this, QStringLiteral("恭喜您,导入词库成功了！"), TMsgIcon::Exclamation);
    else
        ShowMessage(this, QStringLiteral("导入词库失败了！"), TMsgIcon::Exclamation);
}

void TFrmTextBook::btnCloseClick()
{
    reject();
}

void TFrmTextBook::reject()
{
    if (m_busy)
        return;
    QDialog::reject();
}

void TFrmTextBook::closeEvent(QCloseEvent *event)
{
    if (m_busy) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
