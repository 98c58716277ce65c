#include "listing/pictures/CategoryPicturesFrame.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "listing/pictures/PictureStrip.h"
#include "widgets/Named.h"

CategoryPicturesFrame::CategoryPicturesFrame(UiServices& ui, QThreadPool* picturePool, QWidget* parent)
    : QGroupBox(QStringLiteral("カテゴリと画像"), parent) {
    setObjectName(QStringLiteral("fraUpload"));
    auto* v = new QVBoxLayout(this);
    auto* categoryRow = new QHBoxLayout;
    categoryRow->addWidget(new QLabel(QStringLiteral("カテゴリ")));
    m_shown = named(new QLabel, QStringLiteral("lblCategory"),
                    QStringLiteral("この出品のカテゴリです。出品フォームの前のページ（続けるボタンのあるページ）で覚えます。"));
    m_shown->setTextFormat(Qt::PlainText);
    m_shown->setWordWrap(true);
    categoryRow->addWidget(m_shown, 1);
    v->addLayout(categoryRow);
    // What the memory file keeps: the path as the site showed it, and the page that returns to it.
    m_category = named(new QLineEdit, QStringLiteral("txtCategory"));
    m_category->setVisible(false);
    m_categoryAddress = named(new QLineEdit, QStringLiteral("txtCategoryAddress"));
    m_categoryAddress->setVisible(false);
    v->addWidget(m_category);
    v->addWidget(m_categoryAddress);
    connect(m_category, &QLineEdit::textChanged, this,
            [this](const QString& path) { m_shown->setText(path.isEmpty() ? QStringLiteral("（まだ選ばれていません）") : path); });
    m_shown->setText(QStringLiteral("（まだ選ばれていません）"));
    m_pictures = new PictureStrip(ui, picturePool);
    v->addWidget(m_pictures);

    auto* row = new QHBoxLayout;
    m_upload = named(new QPushButton(QStringLiteral("画像ｱｯﾌﾟﾛｰﾄﾞ")), QStringLiteral("Command14"));
    row->addWidget(m_upload);
    row->addWidget(new QLabel(QStringLiteral("<<画像アップロードは右画面から行って下さい。>>")), 1);
    v->addLayout(row);
    for (int i = 0; i < 3; ++i) {
        m_paths[i] = named(new QLabel, QStringLiteral("A_%1").arg(i), QStringLiteral("アップロードする画像のﾊﾟｽを表示します。"));
        m_paths[i]->setTextFormat(Qt::PlainText);
        m_paths[i]->setFrameShape(QFrame::StyledPanel);
        m_paths[i]->setMinimumHeight(20);
        v->addWidget(m_paths[i]);
    }
    m_chosen = named(new QLineEdit, QStringLiteral("imText3"));
    m_chosen->setVisible(false);
    v->addWidget(m_chosen);
    connect(m_pictures, &PictureStrip::changed, this, [this](const QStringList& list) {
        for (int i = 0; i < 3; ++i) m_paths[i]->setText(list.value(i));
    });
}
