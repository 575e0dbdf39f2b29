#include "UFrmLevelIntSet.h"

#include <QGridLayout>
#include <QLabel>

#include "NumberEdit.h"

TFrmLevelIntSet::TFrmLevelIntSet(QWidget *parent)
    : TSmallDialog(parent, QStringLiteral("难度时间设置"), QStringLiteral("FrmLevelIntSet"))
{
    const QString levels[3] = {QStringLiteral("容易"), QStringLiteral("较难"),
                               QStringLiteral("困难")};
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    for (int i = 0; i < 3; ++i) {
        auto *caption = new QLabel(levels[i], this);
        auto *field = new TNumberEdit(this);
        field->setObjectName(QStringLiteral("speLevelInterval%1").arg(i + 1));
        field->setRange(kMinInterval, kMaxInterval);
        field->setMinimumWidth(90);
        caption->setBuddy(field);
        grid->addWidget(caption, i, 0);
        grid->addWidget(field, i, 1);
        grid->addWidget(new QLabel(QStringLiteral("毫秒"), this), i, 2);
        m_fields[static_cast<size_t>(i)] = field;
    }
    grid->setColumnStretch(3, 1);
    body()->addLayout(grid);

    auto *note =
        new QLabel(QStringLiteral("注：设置的时间为单词每移动一个像素的\n时间间隔。"), this);
    note->setObjectName(QStringLiteral("labNote"));
    body()->addWidget(note);

    m_fields[0]->setFocus();
}
