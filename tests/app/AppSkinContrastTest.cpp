// Every control that shows text can be read in every skin: the main window
// and each dialog, in each of the six carried skins, checked the way a
// contrast checker looks at a screen. For each enabled, visible control the
// text's rectangle is found from the pixels that change when the text is
// taken away; inside it the median colour is the background and the colour
// farthest from it the text, and their WCAG contrast ratio must be at least
// 4.5:1 (3:1 for bold text of 14 pt or more). Disabled controls are exempt,
// as WCAG exempts inactive components.
#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QTreeWidget>

#include "GameWindowFixture.h"
#include "Records.h"
#include "SkinManager.h"
#include "SkinTable.h"
#include "UFrmAbout.h"
#include "UFrmColor.h"
#include "UFrmGameRecord.h"
#include "UFrmImportLib.h"
#include "UFrmInputBox.h"
#include "UFrmLevelIntSet.h"
#include "UFrmSelectBook.h"
#include "UFrmSpeechSet.h"
#include "UFrmSystemSet.h"
#include "UFrmTollGate.h"
#include "UFrmType.h"

namespace {

double channel(int c)
{
    const double s = c / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
}

double luminance(QRgb c)
{
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

struct Reading {
    QRgb Background = 0;
    QRgb Text = 0;
    double Ratio = 0;
};

// Median colour of the rectangle as background, the colour farthest from it
// as text.
Reading read(const QImage &image, const QRect &rect)
{
    std::vector<int> r, g, b;
    const QRect area = rect.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            r.push_back(qRed(c));
            g.push_back(qGreen(c));
            b.push_back(qBlue(c));
        }
    Reading out;
    if (r.empty())
        return out;
    const auto median = [](std::vector<int> v) {
        std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
        return v[v.size() / 2];
    };
    out.Background = qRgb(median(r), median(g), median(b));
    double farthest = -1;
    for (size_t i = 0; i < r.size(); ++i) {
        const double d = std::hypot(r[i] - qRed(out.Background), g[i] - qGreen(out.Background),
                                    b[i] - qBlue(out.Background));
        if (d > farthest) {
            farthest = d;
            out.Text = qRgb(r[i], g[i], b[i]);
        }
    }
    out.Ratio = contrast(out.Background, out.Text);
    return out;
}

// The bounding rectangle of the pixels that differ between two pictures.
QRect changed(const QImage &a, const QImage &b)
{
    QRect box;
    if (a.size() != b.size())
        return box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

// The control as it shows on screen: its part of the window's picture, so a
// transparent control shows what lies under it.
QImage picture(QWidget *w)
{
    QWidget *window = w->window();
    const QRect area(w->mapTo(window, QPoint(0, 0)), w->size());
    return window->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
}

double required(const QFont &font)
{
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
    return font.bold() && points >= 14 ? 3.0 : 4.5;
}

// Takes the text of a control away and gives it back; false for controls
// that show no text of their own.
bool withoutText(QWidget *w, const std::function<void()> &look)
{
    const auto swap = [&look](auto get, auto set) {
        const QString text = get();
        if (text.trimmed().isEmpty())
            return false;
        set(QString());
        look();
        set(text);
        return true;
    };
    if (auto *l = qobject_cast<QLabel *>(w))
        return swap([l] { return l->text(); }, [l](const QString &t) { l->setText(t); });
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        return swap([b] { return b->text(); }, [b](const QString &t) { b->setText(t); });
    if (auto *e = qobject_cast<QLineEdit *>(w))
        return swap([e] { return e->text(); }, [e](const QString &t) { e->setText(t); });
    if (auto *g = qobject_cast<QGroupBox *>(w))
        return swap([g] { return g->title(); }, [g](const QString &t) { g->setTitle(t); });
    if (auto *c = qobject_cast<QComboBox *>(w); c && c->currentIndex() >= 0) {
        const int i = c->currentIndex();
        return swap([c, i] { return c->itemText(i); },
                    [c, i](const QString &t) { c->setItemText(i, t); });
    }
    return false;
}

class ContrastCheck {
public:
    explicit ContrastCheck(std::string skin) : m_skin(std::move(skin)) {}

    // Every control of the window, and the items of its menu bar and lists.
    void Window(QWidget &window)
    {
        window.show();
        QApplication::processEvents();
        std::vector<QWidget *> widgets{&window};
        for (QWidget *w : window.findChildren<QWidget *>())
            widgets.push_back(w);
        for (QWidget *w : widgets) {
            if (!w->isVisible() || !w->isEnabled() || w->width() <= 0 || w->height() <= 0)
                continue;
            if (w->objectName() == QLatin1String("FTypeGame"))
                continue;  // the board: the player's own colours
            Control(w);
            if (auto *bar = qobject_cast<QMenuBar *>(w))
                MenuBar(bar);
            if (auto *list = qobject_cast<QListWidget *>(w))
                for (int i = 0; i < list->count(); ++i)
                    Area(list->viewport(), list->visualItemRect(list->item(i)), list->font(),
                         list->item(i)->text());
            if (auto *tree = qobject_cast<QTreeWidget *>(w))
                for (QTreeWidgetItemIterator it(tree); *it; ++it)
                    if (!(*it)->isHidden())
                        Area(tree->viewport(), tree->visualItemRect(*it), tree->font(),
                             (*it)->text(0));
        }
        window.hide();
    }

    int Checked() const { return m_checked; }
    const std::string &Failures() const { return m_failures; }

private:
    void Control(QWidget *w)
    {
        QImage without;
        if (!withoutText(w, [&] { without = picture(w); }))
            return;
        const QImage with = picture(w);
        const QRect text = changed(with, without);
        if (text.isEmpty())
            return;  // the text is not drawn (elided away, say)
        Judge(w, with, text.adjusted(-2, -2, 2, 2), w->font());
    }

    void MenuBar(QMenuBar *bar)
    {
        const QImage with = picture(bar);
        for (QAction *a : bar->actions())
            if (a->isVisible() && a->isEnabled())
                Judge(bar, with, bar->actionGeometry(a), bar->font(), a->text());
    }

    void Area(QWidget *viewport, const QRect &rect, const QFont &font, const QString &what)
    {
        if (rect.isEmpty() || what.isEmpty())
            return;
        Judge(viewport, picture(viewport), rect, font, what);
    }

    void Judge(QWidget *w, const QImage &image, const QRect &rect, const QFont &font,
               const QString &what = {})
    {
        ++m_checked;
        const Reading r = read(image, rect);
        const double need = required(font);
        if (r.Ratio >= need)
            return;
        std::ostringstream s;
        s.precision(3);
        s << m_skin << ": " << w->window()->objectName().toStdString() << "/"
          << w->objectName().toStdString() << " (" << w->metaObject()->className() << ") \""
          << (what.isEmpty() ? describe(w) : what).toStdString() << "\" text "
          << QColor(r.Text).name().toStdString() << " on "
          << QColor(r.Background).name().toStdString() << ": " << r.Ratio << ":1, needs " << need
          << ":1\n";
        m_failures += s.str();
    }

    static QString describe(QWidget *w)
    {
        if (auto *l = qobject_cast<QLabel *>(w))
            return l->text();
        if (auto *b = qobject_cast<QAbstractButton *>(w))
            return b->text();
        if (auto *e = qobject_cast<QLineEdit *>(w))
            return e->text();
        if (auto *g = qobject_cast<QGroupBox *>(w))
            return g->title();
        if (auto *c = qobject_cast<QComboBox *>(w))
            return c->currentText();
        return {};
    }

    std::string m_skin;
    int m_checked = 0;
    std::string m_failures;
};

using AppSkinContrast = GameWindowTest;

TEST_F(AppSkinContrast, EveryEnabledControlWithTextIsReadableInEverySkin)
{
    Start();
    TFrmType &main = Window();
    std::string failures;
    for (const std::string &skin : CarriedSkinNames()) {
        SCOPED_TRACE(skin);
        ApplySkin(skin);
        ContrastCheck check(skin);
        check.Window(main);
        const int mainControls = check.Checked();
        EXPECT_GE(mainControls, 20) << "the main window's controls were not found";

        TFrmAbout about;
        TFrmColor colours;
        TFrmLevelIntSet levels;
        TFrmTollGate tollGate;
        TFrmSystemSet music;
        TFrmSpeechSet speech;
        speech.SetSpeechEx(main.FSpeech());
        music.SetBassEx(main.FBass());
        TFrmImportLib import;
        TFrmGameRecord records;
        TFrmInputBox name;
        name.SetTitle(QStringLiteral("请输入您的名字："));
        TGamePara para;
        CopyGamePara(main.Flow().GamePara(), para);
        TFrmSelectBook books(para);
        for (QDialog *dialog :
             std::initializer_list<QDialog *>{&about, &colours, &levels, &tollGate, &music, &speech,
                                              &import, &records, &name, &books})
            check.Window(*dialog);
        EXPECT_GT(check.Checked(), mainControls + 30) << "the dialogs' controls were not found";
        failures += check.Failures();
        main.show();
    }
    qApp->setStyleSheet(QString());
    EXPECT_EQ(failures, "");
}

}  // namespace
