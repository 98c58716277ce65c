#pragma once

#include <QHash>
#include <QImage>
#include <QList>
#include <QStringList>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QPushButton;
class QThreadPool;
class UiServices;

// A listing's pictures as thumbnails in upload order, with 画像を選ぶ, 前へ, 後へ and
// クリア. A picture joins only once it is known to read whole; every picture is read on
// the pool given (one thread: two large pictures never take memory together), so the
// window never waits for one. The paths are kept in hidden fields the memory file holds.
class PictureStrip : public QWidget {
    Q_OBJECT
public:
    PictureStrip(UiServices& ui, QThreadPool* pool, QWidget* parent = nullptr);

    QStringList pictures() const;
    void setPictures(const QStringList& paths);

Q_SIGNALS:
    void changed(const QStringList& pictures);

private:
    void refresh();
    void askThumbnail(const QString& path);
    void choose();
    void shift(int by);
    void clearChosen();

    UiServices& m_ui;
    QThreadPool* m_pool;
    QList<QLineEdit*> m_keys;  // the pictures' paths, kept in the memory file
    QListWidget* m_list = nullptr;
    QPushButton* m_add = nullptr;
    struct Thumbnail {
        QString stamp;  // the file's time and size when it was read
        QImage image;
        QString problem;  // why it is no picture, naming the file
    };
    QHash<QString, Thumbnail> m_thumbnails;  // by path
    QHash<QString, QString> m_asked;         // path -> stamp being read
};
