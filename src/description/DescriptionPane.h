#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "description/Description.h"

class Browser;
class PreviewWindow;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class UiServices;

// The "出品ﾌｫｰﾑ作成(&3)" tab: design, title, mark, eight item rows, the
// generated HTML and the preview of the chosen design.
class DescriptionPane : public QWidget {
    Q_OBJECT
public:
    DescriptionPane(UiServices& ui, QWidget* parent = nullptr);

    Browser* WB3() const { return m_wb3; }
    QPushButton* Command9() const { return m_command9; }

    // Fills cmbHTML from the template folder and shows the first design.
    void fillDesignList(const QString& folder);
    void showDesign();

    // The seller's ID for the my-auction link (the mail pane's txtID2, wired by the main window).
    void setSellerIdSource(std::function<QString()> source) { m_sellerId = std::move(source); }

    void cmdPre_Click();
    // "出品手続へ": asks for a product name, then hands the listing title and
    // the HTML box over (listingRequested); the main window takes it from there.
    void Command9_Click();

    // The shipping pane's preview: the shipping table alone becomes the preview file.
    void shippingPreview(const QString& html);
    void Command6_Click();   // decoration
    void Command11_Click();  // link
    void Command8_Click();   // phrases (modeless)
    void Command10_Click();  // item names

    // An item row (0 to 7) takes a name and a content, as if typed.
    void setItem(int row, const QString& name, const QString& content);

    description::Input input() const;
    QString htmlText() const;  // txtHTML with CR LF line breaks

Q_SIGNALS:
    void listingRequested(const QString& title, const QString& description);

private:
    QWidget* buildDesignFrame();
    QWidget* buildItemTabs();
    QWidget* buildButtons();
    void updateCounter();
    void openPreview();
    void onProductNameChanged();

    UiServices& m_ui;
    std::function<QString()> m_sellerId;
    QComboBox* m_cmbHTML = nullptr;
    QLineEdit* m_txtSYOUHIN = nullptr;
    QComboBox* m_cmbKIGOU = nullptr;
    QLabel* m_label16 = nullptr;
    QList<QLineEdit*> m_txtITEM;
    QList<QPlainTextEdit*> m_txtSETUMEI;
    QList<QLabel*> m_lblITEM;
    QComboBox* m_combo6 = nullptr;
    QCheckBox* m_ckMy = nullptr;
    QPushButton* m_command9 = nullptr;
    Browser* m_wb3 = nullptr;
    QPlainTextEdit* m_txtHTML = nullptr;
    QPointer<QWidget> m_phrases;              // the open phrase list, if any
    QPointer<PreviewWindow> m_previewWindow;  // the program's own preview, when the desktop has none
    bool m_toldNoBrowser = false;
};
