#include "UFrmImportLib.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "BusyGuard.h"
#include "GbkText.h"
#include "MessageBoxes.h"
#include "ProgressBarProgress.h"
#include "Records.h"
#include "Settings.h"
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

struct TEncodingItem {
    const char *caption;
    TWordFileEncoding encoding;
};
// UTF-16 stands for both byte orders: the byte-order mark tells which.
constexpr TEncodingItem kEncodings[] = {{"GBK/GB18030", TWordFileEncoding::Gbk},
                                        {"UTF-8", TWordFileEncoding::Utf8},
                                        {"UTF-16", TWordFileEncoding::Utf16LE},
                                        {"Big5", TWordFileEncoding::Big5}};

struct TLayoutItem {
    const char *caption;
    TWordLayout layout;
};
constexpr TLayoutItem kLayouts[] = {
    {"单词[音标]解释", TWordLayout::Brackets},  {"单词<Tab>解释", TWordLayout::Tab},
    {"CSV：单词,解释", TWordLayout::Csv},       {"单词  解释（两个以上空格）", TWordLayout::Spaces},
    {"单词 /音标/ 解释", TWordLayout::Slashes},
};

int encodingIndex(TWordFileEncoding encoding)
{
    if (encoding == TWordFileEncoding::Utf16BE)
        encoding = TWordFileEncoding::Utf16LE;
    for (int k = 0; k < static_cast<int>(std::size(kEncodings)); ++k) {
        if (kEncodings[k].encoding == encoding)
            return k;
    }
    return 0;
}

int layoutIndex(TWordLayout layout)
{
    for (int k = 0; k < static_cast<int>(std::size(kLayouts)); ++k) {
        if (kLayouts[k].layout == layout)
            return k;
    }
    return 0;
}

bool isWordListFile(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("txt") || suffix == QLatin1String("csv");
}

// The one local word-list file a drag carries, or empty.
QString draggedFile(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls() || mime->urls().size() != 1)
        return {};
    const QUrl url = mime->urls().front();
    if (!url.isLocalFile() || !isWordListFile(url.toLocalFile()))
        return {};
    return url.toLocalFile();
}

// A cell gets no more than a row can show: the start of a long text, cut
// with "…"; the table then elides it to its column's width.
constexpr size_t kCellBytes = 512;

QString cellText(std::string_view gbk)
{
    if (gbk.size() <= kCellBytes)
        return GbkToQString(gbk);
    return GbkToQString(GbkPrefix(gbk, kCellBytes)) + QChar(0x2026);
}

enum TPreviewColumn {
    kColLine,
    kColSpelling,
    kColPronunciation,
    kColMeaning,
    kColReason,
    kColumns
};

}  // namespace

TFrmImportLib::TFrmImportLib(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_sFileName(new QLineEdit(this)), m_sFileNameButton(new QToolButton(this)),
      m_btnPaste(new QPushButton(QStringLiteral("从剪贴板粘贴"), this)),
      m_cboEncoding(new QComboBox(this)), m_cboLayout(new QComboBox(this)),
      m_tvPreview(new QTableWidget(0, kColumns, this)), m_labPreview(new QLabel(this)),
      m_cbSkipErrorLines(new QCheckBox(QStringLiteral("略过所有错误行"), this)),
      m_cboBookClass(new QComboBox(this)), m_ediLibName(new QLineEdit(this)),
      m_pbImport(new QProgressBar(this)),
      m_btnImport(new QPushButton(QStringLiteral("开始导入"), this)),
      m_btnClose(new QPushButton(QStringLiteral("关闭"), this))
{
    setObjectName(QStringLiteral("FrmImportLib"));
    setWindowTitle(QStringLiteral("导入Kivro词库"));
    m_sFileName->setObjectName(QStringLiteral("sFileName"));
    m_sFileNameButton->setObjectName(QStringLiteral("sFileNameButton"));
    m_btnPaste->setObjectName(QStringLiteral("btnPaste"));
    m_cboEncoding->setObjectName(QStringLiteral("cboEncoding"));
    m_cboLayout->setObjectName(QStringLiteral("cboLayout"));
    m_tvPreview->setObjectName(QStringLiteral("tvPreview"));
    m_labPreview->setObjectName(QStringLiteral("labPreview"));
    m_cbSkipErrorLines->setObjectName(QStringLiteral("cbSkipErrorLines"));
    m_cboBookClass->setObjectName(QStringLiteral("cboBookClass"));
    m_ediLibName->setObjectName(QStringLiteral("ediLibName"));
    m_pbImport->setObjectName(QStringLiteral("pbImport"));
    m_btnImport->setObjectName(QStringLiteral("btnImport"));
    m_btnClose->setObjectName(QStringLiteral("btnClose"));

    m_sFileName->setMaxLength(kMaxFileNameLength);
    m_sFileName->setMinimumWidth(320);
    m_sFileNameButton->setText(QStringLiteral("..."));
    m_sFileNameButton->setToolTip(QStringLiteral("浏览"));
    // A file dropped anywhere on the dialog is handled by the dialog.
    m_sFileName->setAcceptDrops(false);
    setAcceptDrops(true);
    for (const TEncodingItem &item : kEncodings)
        m_cboEncoding->addItem(QString::fromUtf8(item.caption));
    for (const TLayoutItem &item : kLayouts)
        m_cboLayout->addItem(QString::fromUtf8(item.caption));
    m_tvPreview->setHorizontalHeaderLabels({QStringLiteral("行号"), QStringLiteral("单词"),
                                            QStringLiteral("音标"), QStringLiteral("解释"),
                                            QStringLiteral("说明")});
    m_tvPreview->verticalHeader()->setVisible(false);
    m_tvPreview->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_tvPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tvPreview->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tvPreview->setWordWrap(false);
    m_tvPreview->setTextElideMode(Qt::ElideRight);
    m_tvPreview->horizontalHeader()->setStretchLastSection(true);
    m_tvPreview->setColumnWidth(kColLine, 44);
    m_tvPreview->setColumnWidth(kColSpelling, 110);
    m_tvPreview->setColumnWidth(kColPronunciation, 90);
    m_tvPreview->setColumnWidth(kColMeaning, 180);
    m_tvPreview->setMinimumSize(560, 220);
    m_labPreview->setTextFormat(Qt::PlainText);
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
    fileLayout->addWidget(m_btnPaste);

    auto *previewGroup = new QGroupBox(QStringLiteral("预览"), this);
    auto *previewLayout = new QVBoxLayout(previewGroup);
    auto *readAs = new QHBoxLayout;
    readAs->addWidget(new QLabel(QStringLiteral("编码"), previewGroup));
    readAs->addWidget(m_cboEncoding);
    readAs->addSpacing(12);
    readAs->addWidget(new QLabel(QStringLiteral("格式"), previewGroup));
    readAs->addWidget(m_cboLayout, 1);
    previewLayout->addLayout(readAs);
    previewLayout->addWidget(m_tvPreview, 1);
    previewLayout->addWidget(m_labPreview);
    previewLayout->addWidget(m_cbSkipErrorLines);

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
    layout->addWidget(previewGroup, 1);
    layout->addWidget(bookGroup);
    layout->addWidget(m_pbImport);
    layout->addLayout(buttons);

    connect(m_sFileName, &QLineEdit::textChanged, this, &TFrmImportLib::sFileNameChange);
    connect(m_sFileNameButton, &QToolButton::clicked, this, &TFrmImportLib::sFileNameBrowse);
    connect(m_btnPaste, &QPushButton::clicked, this, &TFrmImportLib::btnPasteClick);
    connect(m_cboEncoding, &QComboBox::currentIndexChanged, this,
            &TFrmImportLib::cboEncodingChange);
    connect(m_cboLayout, &QComboBox::currentIndexChanged, this, &TFrmImportLib::cboLayoutChange);
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

QString TFrmImportLib::ClipboardSourceText()
{
    return QStringLiteral("（剪贴板）");
}

void TFrmImportLib::sFileNameChange()
{
    m_ediLibName->setText(GbkToQString(ExtractBaseName(QStringToGbk(m_sFileName->text()))));
    if (m_pasting)
        return;
    m_fromClipboard = false;
    loadFile(chosenFile(), false);
}

void TFrmImportLib::sFileNameBrowse()
{
    const QString file = QFileDialog::getOpenFileName(
        this, QStringLiteral("请选择需导入的词库文件"), QFileInfo(m_sFileName->text()).path(),
        QStringLiteral("词库文件 (*.txt *.TXT *.csv *.CSV)"));
    if (!file.isEmpty())
        m_sFileName->setText(file);
}

QString TFrmImportLib::chosenFile() const
{
    // Paths written the Windows way are accepted too.
    QString file = m_sFileName->text();
    if (!QFileInfo::exists(file) && file.contains(QLatin1Char('\\')))
        file.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return file;
}

void TFrmImportLib::loadFile(const QString &file, bool mustRead)
{
    if (!mustRead && !QFileInfo(file).isFile()) {
        clearPreview();
        return;
    }
    std::string bytes;
    try {
        bytes = ReadWordFileBytes(file);
    } catch (const EWordFileError &error) {
        if (mustRead)
            throw;
        clearPreview(QString::fromStdString(error.what()));
        return;
    }
    setSource(std::move(bytes), std::nullopt);
    m_loadedFile = file;
}

void TFrmImportLib::btnPasteClick()
{
    QString text = QGuiApplication::clipboard()->text();
    if (trimmedBlanks(text).isEmpty()) {
        ShowMessage(this, QStringLiteral("剪贴板中没有文字！"), TMsgIcon::Information);
        return;
    }
    // Web pages separate words with no-break spaces, which GBK lacks.
    text.replace(QChar(0x00A0), QLatin1Char(' '));
    {
        m_pasting = true;
        m_sFileName->setText(ClipboardSourceText());
        m_pasting = false;
    }
    m_fromClipboard = true;
    setSource(text.toStdString(), TWordFileEncoding::Utf8);
}

void TFrmImportLib::setSource(std::string bytes, std::optional<TWordFileEncoding> forced)
{
    m_bytes = std::move(bytes);
    m_detected = forced ? *forced : DecideWordFileEncoding(m_bytes).Encoding;
    m_loadedFile.reset();
    {
        const QSignalBlocker quiet(m_cboEncoding);
        m_cboEncoding->setCurrentIndex(encodingIndex(m_detected));
    }
    // Pasted text is Unicode already: there is nothing to choose.
    m_cboEncoding->setEnabled(!forced);
    {
        const QSignalBlocker quiet(m_cboLayout);
        m_cboLayout->setCurrentIndex(layoutIndex(DetectWordFileLayout(m_bytes, chosenEncoding())));
    }
    parseLines();
}

void TFrmImportLib::clearPreview(const QString &why)
{
    m_loadedFile.reset();
    m_bytes.clear();
    m_list = TWordList{};
    m_cboEncoding->setEnabled(true);
    m_tvPreview->setRowCount(0);
    m_labPreview->setText(why);
}

TWordFileEncoding TFrmImportLib::chosenEncoding() const
{
    const TWordFileEncoding encoding =
        kEncodings[std::max(0, m_cboEncoding->currentIndex())].encoding;
    if (encoding == TWordFileEncoding::Utf16LE && m_detected == TWordFileEncoding::Utf16BE)
        return m_detected;
    return encoding;
}

void TFrmImportLib::parseLines()
{
    // Decoded and checked line by line: the list alone is kept beside the
    // bytes, never the decoded lines of a long file as well.
    m_list = TWordList{};
    m_list =
        ParseWordFile(m_bytes, chosenEncoding(),
                      kLayouts[std::max(0, m_cboLayout->currentIndex())].layout, IsScrambleOn());
    fillPreview();
}

void TFrmImportLib::cboEncodingChange()
{
    if (!m_fromClipboard && !m_loadedFile)
        return;  // nothing chosen yet
    parseLines();
}

void TFrmImportLib::cboLayoutChange()
{
    if (!m_fromClipboard && !m_loadedFile)
        return;
    parseLines();
}

void TFrmImportLib::fillPreview()
{
    const size_t shown = std::min(m_list.Lines.size(), kPreviewLines);
    m_tvPreview->setUpdatesEnabled(false);
    m_tvPreview->clearContents();
    m_tvPreview->setRowCount(static_cast<int>(shown));
    // Fixed colours both: readable whatever the skin's text colour.
    const QColor errorColour(255, 226, 226);
    const QColor errorText(110, 0, 0);
    for (size_t k = 0; k < shown; ++k) {
        const TListLine &line = m_list.Lines[k];
        const int row = static_cast<int>(k);
        const bool error = line.Error != TLineError::None;
        const QString texts[kColumns] = {
            QString::number(line.LineNumber),  cellText(error ? line.Text : line.Word.Spelling),
            cellText(line.Word.Pronunciation), cellText(line.Word.Meaning),
            LineErrorReason(line.Error),
        };
        for (int c = 0; c < kColumns; ++c) {
            auto *item = new QTableWidgetItem(texts[c]);
            if (error) {
                item->setBackground(errorColour);
                item->setForeground(errorText);
            }
            m_tvPreview->setItem(row, c, item);
        }
    }
    m_tvPreview->setUpdatesEnabled(true);

    QString info =
        QStringLiteral("共%1行，其中错误行%2行").arg(m_list.Lines.size()).arg(m_list.ErrorLines());
    if (m_list.Lines.size() > shown)
        info += QStringLiteral("（预览前%1行）").arg(shown);
    if (m_fromClipboard)
        info += QStringLiteral("；来自剪贴板");
    else
        info += QStringLiteral("；识别出的编码：%1")
                    .arg(QString::fromUtf8(kEncodings[encodingIndex(m_detected)].caption));
    m_labPreview->setText(info);
}

void TFrmImportLib::dragEnterEvent(QDragEnterEvent *event)
{
    if (!m_busy && !draggedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TFrmImportLib::dragMoveEvent(QDragMoveEvent *event)
{
    if (!m_busy && !draggedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TFrmImportLib::dropEvent(QDropEvent *event)
{
    const QString file = draggedFile(event->mimeData());
    if (m_busy || file.isEmpty())
        return;
    m_sFileName->setText(file);
    event->acceptProposedAction();
}

void TFrmImportLib::btnImportClick()
{
    m_pbImport->setValue(0);
    if (!m_fromClipboard && trimmedBlanks(m_sFileName->text()).isEmpty()) {
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
    // The list the preview shows is the list stored; a file that could not
    // be read for the preview is read now, and its error reaches the player.
    if (!m_fromClipboard && m_loadedFile != chosenFile())
        loadFile(chosenFile(), true);

    bool imported = false;
    {
        const TBusyGuard busy(m_busy, {m_sFileName, m_sFileNameButton, m_btnPaste, m_cboEncoding,
                                       m_cboLayout, m_cbSkipErrorLines, m_cboBookClass,
                                       m_ediLibName, m_btnImport, m_btnClose});
        TProgressBarProgress progress(m_pbImport, this);
        progress.AnswerYesToAll(m_cbSkipErrorLines->isChecked());
        imported = ImportWordList(m_list, *name, progress, m_cboBookClass->currentIndex() + 1);
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
