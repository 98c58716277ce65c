#pragma once

#include <QDialog>

class Grid;
class QComboBox;
class UiServices;

// The twin list dialogs: stock phrases (frmGOKU, beside the main window)
// and item names (frmKOUMOKU, modal). A picked line, with an optional mark
// in front, goes to the clipboard.
class ListPickDialog : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Phrases, Items };

    // Null, after telling the user, when the list file cannot be read.
    static ListPickDialog* create(Kind kind, UiServices& ui, QWidget* parent);

    static QString listFile(Kind kind);
    Grid* vfS() const { return m_grid; }

    void cmdCOPY_Click();
    void editListFile();  // 文言登録 / 項目登録

private:
    ListPickDialog(Kind kind, const QStringList& lines, UiServices& ui, QWidget* parent);

    Kind m_kind;
    UiServices& m_ui;
    Grid* m_grid = nullptr;
    QComboBox* m_mark = nullptr;
};
