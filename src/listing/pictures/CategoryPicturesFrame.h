#pragma once

#include <QGroupBox>

class PictureStrip;
class QLabel;
class QLineEdit;
class QPushButton;
class QThreadPool;
class UiServices;

// "カテゴリと画像": the listing's category as the site showed it, its pictures, and
// 画像ｱｯﾌﾟﾛｰﾄﾞ. The memory file keeps the hidden fields (the category's path and page, the
// pictures' paths); what is shown follows them.
class CategoryPicturesFrame : public QGroupBox {
    Q_OBJECT
public:
    CategoryPicturesFrame(UiServices& ui, QThreadPool* picturePool, QWidget* parent = nullptr);

    QLineEdit* category() const { return m_category; }                // txtCategory
    QLineEdit* categoryAddress() const { return m_categoryAddress; }  // txtCategoryAddress
    PictureStrip* pictures() const { return m_pictures; }
    QLineEdit* chosenPath() const { return m_chosen; }  // imText3: the path chosen during an upload only
    QPushButton* upload() const { return m_upload; }    // Command14

private:
    QLabel* m_shown = nullptr;
    QLineEdit* m_category = nullptr;
    QLineEdit* m_categoryAddress = nullptr;
    PictureStrip* m_pictures = nullptr;
    QLineEdit* m_chosen = nullptr;
    QPushButton* m_upload = nullptr;
    QLabel* m_paths[3] = {};
};
