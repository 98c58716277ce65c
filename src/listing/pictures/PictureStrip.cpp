#include "listing/pictures/PictureStrip.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>
#include <QThreadPool>

#include "core/UiServices.h"
#include "listing/pictures/Picture.h"
#include "site/ListingForm.h"
#include "widgets/Named.h"

namespace {
constexpr int kThumb = 64;

// A picture read before is read again once its file changes.
QString fileStamp(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return QString();
    return QStringLiteral("%1 %2").arg(info.lastModified().toMSecsSinceEpoch()).arg(info.size());
}
}  // namespace

PictureStrip::PictureStrip(UiServices& ui, QThreadPool* pool, QWidget* parent) : QWidget(parent), m_ui(ui), m_pool(pool) {
    auto* h = new QHBoxLayout(this);
    h->setContentsMargins(0, 0, 0, 0);
    m_list =
        named(new QListWidget, QStringLiteral("lstPICTURE"), QStringLiteral("出品する画像です（3枚まで）。左から順にアップロードします。"));
    m_list->setViewMode(QListView::IconMode);
    m_list->setIconSize(QSize(kThumb, kThumb));
    m_list->setFlow(QListView::LeftToRight);
    m_list->setWrapping(false);
    m_list->setMovement(QListView::Static);
    m_list->setGridSize(QSize(kThumb + 24, kThumb + 10));
    m_list->setFixedHeight(kThumb + 20);
    m_list->setMinimumWidth(3 * (kThumb + 24) + 8);
    h->addWidget(m_list);
    auto* buttons = new QGridLayout;
    m_add = named(new QPushButton(QStringLiteral("画像を選ぶ...")), QStringLiteral("cmdPICADD"));
    auto* earlier = named(new QPushButton(QStringLiteral("◀ 前へ")), QStringLiteral("cmdPICUP"));
    auto* later = named(new QPushButton(QStringLiteral("後へ ▶")), QStringLiteral("cmdPICDOWN"));
    auto* clear = named(new QPushButton(QStringLiteral("クリア")), QStringLiteral("cmdPICCLEAR"),
                        QStringLiteral("画像をこの出品から外します。画像のファイルはそのままです。"));
    buttons->addWidget(m_add, 0, 0, 1, 2);
    buttons->addWidget(earlier, 1, 0);
    buttons->addWidget(later, 1, 1);
    buttons->addWidget(clear, 2, 0, 1, 2);
    h->addLayout(buttons);
    h->addStretch(1);
    for (int i = 0; i < 3; ++i) {
        auto* key = named(new QLineEdit, QStringLiteral("txtPicture_%1").arg(i));
        key->setVisible(false);
        h->addWidget(key);
        m_keys << key;
        connect(key, &QLineEdit::textChanged, this, &PictureStrip::refresh);
    }
    connect(m_add, &QPushButton::clicked, this, &PictureStrip::choose);
    connect(earlier, &QPushButton::clicked, this, [this] { shift(-1); });
    connect(later, &QPushButton::clicked, this, [this] { shift(1); });
    connect(clear, &QPushButton::clicked, this, &PictureStrip::clearChosen);
}

QStringList PictureStrip::pictures() const {
    QStringList list;
    for (QLineEdit* key : m_keys)
        if (!key->text().trimmed().isEmpty()) list << key->text().trimmed();
    return list;
}

void PictureStrip::setPictures(const QStringList& paths) {
    for (int i = 0; i < m_keys.size(); ++i) {
        const QSignalBlocker quiet(m_keys[i]);
        m_keys[i]->setText(paths.value(i));
    }
    refresh();
}

void PictureStrip::refresh() {
    const QStringList list = pictures();
    const int current = m_list->currentRow();
    m_list->clear();
    for (const QString& path : list) {
        auto* item = new QListWidgetItem(QFileInfo(path).fileName());
        item->setData(Qt::UserRole, path);
        const auto known = m_thumbnails.constFind(path);
        if (known != m_thumbnails.constEnd() && known->stamp == fileStamp(path)) {
            item->setToolTip(known->problem.isEmpty() ? path : known->problem);
            item->setIcon(known->problem.isEmpty() ? QIcon(QPixmap::fromImage(known->image))
                                                   : style()->standardIcon(QStyle::SP_MessageBoxWarning));
        } else {
            item->setToolTip(QStringLiteral("%1\r\n読み込んでいます。").arg(path));
            askThumbnail(path);
        }
        m_list->addItem(item);
    }
    if (current >= 0 && current < m_list->count()) m_list->setCurrentRow(current);
    Q_EMIT changed(list);
}

void PictureStrip::askThumbnail(const QString& path) {
    const QString stamp = fileStamp(path);
    const auto asked = m_asked.constFind(path);
    if (asked != m_asked.constEnd() && *asked == stamp) return;
    m_asked.insert(path, stamp);
    m_pool->start([this, path, stamp] {
        const picture::Read read = picture::read(path, kThumb);
        QMetaObject::invokeMethod(
            this,
            [this, path, stamp, read] {
                if (m_asked.value(path) == stamp) m_asked.remove(path);
                m_thumbnails.insert(path, Thumbnail{stamp, read.image, read.problem});
                for (int i = 0; i < m_list->count(); ++i) {
                    QListWidgetItem* item = m_list->item(i);
                    if (item->data(Qt::UserRole).toString() != path) continue;
                    item->setToolTip(read.problem.isEmpty() ? path : read.problem);
                    item->setIcon(read.problem.isEmpty() ? QIcon(QPixmap::fromImage(read.image))
                                                         : style()->standardIcon(QStyle::SP_MessageBoxWarning));
                }
            },
            Qt::QueuedConnection);
    });
}

void PictureStrip::choose() {
    if (pictures().size() >= site::maxPictures()) {
        m_ui.message(site::pictureRule() + QStringLiteral("\r\n別の画像にするときは、先にクリアで外して下さい。"), QStringLiteral("画像"),
                     UiServices::Icon::Information, UiServices::Buttons::Ok, this);
        return;
    }
    const QString chosen =
        m_ui.openFileName(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation), picture::choiceFilter(), this);
    if (chosen.isEmpty()) return;
    // A picture joins the listing once it is known to read whole; the window goes on meanwhile
    // and 画像を選ぶ waits for the answer.
    m_add->setEnabled(false);
    const QString stamp = fileStamp(chosen);
    m_pool->start([this, chosen, stamp] {
        const picture::Read read = picture::read(chosen, kThumb);
        QMetaObject::invokeMethod(
            this,
            [this, chosen, stamp, read] {
                m_add->setEnabled(true);
                m_thumbnails.insert(chosen, Thumbnail{stamp, read.image, read.problem});
                if (!read.problem.isEmpty()) {
                    m_ui.message(read.problem + QStringLiteral("\r\nこの画像は出品に加えていません。"), QStringLiteral("画像"),
                                 UiServices::Icon::Warning, UiServices::Buttons::Ok, this);
                    return;
                }
                QStringList now = pictures();
                if (now.size() >= site::maxPictures()) return;  // filled meanwhile (a memory file opened)
                now << chosen;
                setPictures(now);
                m_list->setCurrentRow(now.size() - 1);
            },
            Qt::QueuedConnection);
    });
}

void PictureStrip::shift(int by) {
    QStringList list = pictures();
    const int at = m_list->currentRow();
    const int to = at + by;
    if (at < 0 || at >= list.size() || to < 0 || to >= list.size()) return;
    list.move(at, to);
    setPictures(list);
    m_list->setCurrentRow(to);
}

void PictureStrip::clearChosen() {
    // The picture chosen in the list, or every picture when none is.
    QStringList list = pictures();
    const int at = m_list->currentRow();
    if (at >= 0 && at < list.size() && m_list->currentItem()->isSelected())
        list.removeAt(at);
    else
        list.clear();
    setPictures(list);
}
