// The floor the program is measured against: a bare Qt Widgets window with
// what ours shows at start (a menu bar, a tool bar, a Chinese label) and an
// 815 x 424 board whose one word box moves a pixel every 50 ms and is
// repainted in its own region only. No database, speech, sound or network.
// A key repaints the box, as a typed letter would.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

class TFloorBoard final : public QWidget {
public:
    explicit TFloorBoard(QWidget *parent) : QWidget(parent)
    {
        setFixedSize(815, 424);
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_OpaquePaintEvent);
        connect(&m_timer, &QTimer::timeout, this, &TFloorBoard::step);
        m_timer.start(50);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        painter.fillRect(event->rect(), Qt::black);
        painter.setPen(Qt::white);
        painter.drawRect(box().adjusted(0, 0, -1, -1));
        painter.drawText(box(), Qt::AlignCenter, m_typed + QStringLiteral("abandon"));
    }
    void keyPressEvent(QKeyEvent *event) override
    {
        m_typed = event->text().left(1);
        update(box());
    }

private:
    QRect box() const { return {300, m_y, 160, 40}; }
    void step()
    {
        const QRect old = box();
        m_y = m_y >= height() ? -40 : m_y + 1;
        update(old.united(box()));
    }

    QTimer m_timer;
    QString m_typed;
    int m_y = 0;
};

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Kivro单词速打"));
    for (const QString &title :
         {QStringLiteral("文件(&F)"), QStringLiteral("设置(&S)"), QStringLiteral("帮助(&H)")})
        window.menuBar()->addMenu(title)->addAction(QStringLiteral("选择课本"));
    QToolBar *tools = window.addToolBar(QString());
    for (const QString &text : {QStringLiteral("开始游戏"), QStringLiteral("重新游戏"),
                                QStringLiteral("暂停"), QStringLiteral("容易")})
        tools->addAction(text);
    auto *central = new QWidget(&window);
    auto *column = new QVBoxLayout(central);
    column->addWidget(
        new QLabel(QStringLiteral("《最新TOEFL词汇》-顺序  关卡：第1关（共1关）"), central));
    auto *board = new TFloorBoard(central);
    column->addWidget(board);
    window.setCentralWidget(central);
    window.statusBar()->showMessage(QStringLiteral("准备就绪"));
    window.show();
    board->setFocus();
    return QApplication::exec();
}
