// The main window's menu and tool-bar commands that open dialogs or pages,
// and the recent toll gates menu.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

#include "Clock.h"
#include "HelpCommands.h"
#include "KivroApplication.h"
#include "MessageBoxes.h"
#include "ModalRunner.h"
#include "RecentTollGates.h"
#include "SettingsCommands.h"
#include "SkinMenu.h"
#include "UFrmGameRecord.h"
#include "UFrmImportLib.h"
#include "UFrmSelectBook.h"
#include "UFrmSpeechSet.h"
#include "StudyProgressPlugin.h"
#include "UFrmSystemSet.h"
#include "UFrmTextBook.h"
#include "UFrmType.h"
#include "USpeechEx.h"
#include "UBassEx.h"

void TFrmType::connectCommands()
{
    // The menus' commands are connected as they are built (buildMenus).
    connect(sbRecord, &QToolButton::clicked, this,
            Guarded(sbRecord->text(), this, &TFrmType::sbRecordClick));

    connect(sbStart, &QToolButton::clicked, this,
            Guarded(sbStart->text(), this, &TFrmType::sbStartClick));
    connect(sbReStart, &QToolButton::clicked, this,
            Guarded(sbReStart->text(), this, &TFrmType::sbReStartClick));
    connect(btnPause, &QToolButton::clicked, this,
            Guarded(btnPause->text(), this, &TFrmType::btnPauseClick));
    connect(btnContinue, &QToolButton::clicked, this,
            Guarded(btnContinue->text(), this, &TFrmType::btnContinueClick));
    for (QAction *item : {N8, N9, N10, N27, N28, N29}) {
        connect(item, &QAction::triggered, this,
                Guarded(item->iconText(), [this, item] { N27Click(item->data().toInt()); }));
    }

    for (QCheckBox *box : {cbSpell, cbMean, cbSpeech}) {
        connect(box, &QCheckBox::clicked, this, Guarded(box->text(), [this, box] {
                    SettingsCommands::cbSpellClick(*this, box, *cbSpell, *cbMean, *cbSpeech);
                }));
    }
    // Programmatic ticks count as clicks too, as the saved setting is applied.
    connect(cbBackGround, &QCheckBox::toggled, this,
            Guarded(cbBackGround->text(), this, &TFrmType::cbBackGroundClick));

    BuildSkinMenu(*miUI);
    ConnectSkinMenu(*miUI);

    connectLearnerCommands();
}

void TFrmType::N6Click()
{
    TGamePara copy;
    CopyGamePara(m_flow.GamePara(), copy);
    TFrmSelectBook dialog(copy, this);
    // Deleting the book being played starts the first book, whatever the result.
    if (RunModal(dialog) == QDialog::Accepted || dialog.CurrentBookDeleted())
        m_flow.ChooseBook(dialog.GamePara());
    else
        m_flow.BookRenamed(dialog.GamePara().BookName);  // renamed there
    FocusGame();
}

void TFrmType::N15Click()
{
    TFrmImportLib dialog(this);
    RunModal(dialog);
    FocusGame();
}

void TFrmType::nTextBookClick()
{
    TFrmTextBook dialog(this);
    RunModal(dialog);
    FocusGame();
}

void TFrmType::N4Click()
{
    TFrmGameRecord dialog(this);
    RunModal(dialog);
    FocusGame();
}

void TFrmType::nStudyProgressClick()
{
    const std::unique_ptr<TStudyProgressWindow> window = MakeStudyProgressWindow(this);
    if (!window) {
        ShowMessage(this, QStringLiteral("无法打开学习进度：缺少图表组件。"),
                    TMsgIcon::Exclamation);
        FocusGame();
        return;
    }
    window->AttachMemoryFit(m_memoryFit);
    window->SetDailyGoal(ReadDailyGoal());
    window->LoadProgress(ProgramClock().NowMs());
    // The practice starts once the window is closed: leaving the toll gate in
    // play writes its records, never while a dialog waits.
    TWordInfos practice;
    QDialog &dialog = window->Dialog();
    window->OnPracticeWeakSpellings([&dialog, &practice](const TWordInfos &words) {
        practice = words;
        dialog.accept();
    });
    RunModal(dialog);
    if (!practice.empty())
        m_flow.StartPractice(practice);
    FocusGame();
}

void TFrmType::sbRecordClick()
{
    RecordGameScore(this, m_flow.Totals().Score);
    FocusGame();
}

void TFrmType::N33Click()
{
    if (FSpeech() && ShowSpeechSettings(this, *FSpeech())) {
        // The dialog stores the accent and the spellings as they change.
        ApplyBothSpellings();
        if (!m_lastWord.Spelling.empty())
            ShowLastWord(m_lastWord);
    }
    FocusGame();
}

void TFrmType::N35Click()
{
    if (FBass())
        ShowMusicSettings(this, *FBass());
    FocusGame();
}

void TFrmType::nReviewClick()
{
    // None due, or a memory that cannot be read: the flow says which.
    m_flow.StartReview();
    ShowDueCount();
    FocusGame();
}

void TFrmType::BuildRecentMenu()
{
    // Items are replaced as a whole; deleteLater keeps an item alive while
    // its own click is still being handled.
    for (QAction *item : nRecently->actions()) {
        nRecently->removeAction(item);
        item->deleteLater();
    }
    for (const TRecentEntry &entry : ReadRecentEntries()) {
        // A '&' in a book name is shown, not taken for a shortcut mark.
        QString caption = RecentCaption(entry.Fields);
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction *item = nRecently->addAction(caption);
        // The stored line is the item's hidden text: kept, never shown.
        item->setData(QByteArray::fromStdString(entry.Line));
        // Queued: choosing an entry rebuilds this very menu.
        connect(item, &QAction::triggered, this,
                Guarded(item->iconText(), [this, line = entry.Line] { RecentTollGateClick(line); }),
                Qt::QueuedConnection);
    }
}
