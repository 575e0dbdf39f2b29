#pragma once
// The leaderboard window "排行榜": the 20 best scores, and the prompt that
// records a score under the player's name.

#include <QDialog>

class QPushButton;
class QTreeWidget;

class TFrmGameRecord : public QDialog {
    Q_OBJECT
public:
    explicit TFrmGameRecord(QWidget *parent = nullptr);

    void FormShow();
    void LoadGameRecords();
    void sBitBtn1Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QTreeWidget *m_lvBookInfo;
    QPushButton *m_sBitBtn1;
};

// Asks whether to record the score; on Yes asks for a name and stores it
// exactly as typed. An insert the engine refuses (a full disk, a locked or
// read-only database) is reported as "成绩记录失败：" and its reason.
void RecordGameScore(QWidget *parent, int score);
