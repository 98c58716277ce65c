#pragma once

#include <QList>
#include <QWidget>

class Grid;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class UiServices;

// The "送料計算(&2)" tab: the fees of the ticked services, the shipping HTML
// for the description, and the rate table of the origin last read.
class ShippingPane : public QWidget {
    Q_OBJECT
public:
    explicit ShippingPane(UiServices& ui, QWidget* parent = nullptr);

    void Command15_Click();  // 送料計算
    void Command16_Click();  // 出品ﾌｫｰﾑ作成貼付
    void Command19_Click();  // プレビュー

    QString shippingHtml() const;  // imText1, CR LF line ends
    QString origin() const;        // 発送元, as chosen

    static const QStringList& serviceNames();  // ckHOUHOU captions, by index
    static const QStringList& weights();       // Combo8's entries, grams; a memory file keeps the entry's place

Q_SIGNALS:
    // An item row of the description (0 to 7) is to take this name and content.
    void pasteRequested(int row, const QString& name, const QString& content);
    // The shipping HTML is to be previewed on its own.
    void previewRequested(const QString& html);

private:
    QWidget* buildInputs();
    QWidget* buildResults();
    void setRow(int row, const QString& price, const QString& note);
    void appendHtml(const QString& html);
    void showRates(const QList<QStringList>& block);

    UiServices& m_ui;
    QList<QComboBox*> m_cmbKEN;
    QList<QLineEdit*> m_imNumber1;
    QLabel* m_label46 = nullptr;
    QComboBox* m_combo8 = nullptr;
    QList<QCheckBox*> m_check1;
    QList<QCheckBox*> m_ckHOUHOU;
    Grid* m_vsSOURYOU = nullptr;
    Grid* m_vsYU = nullptr;
    QPlainTextEdit* m_imText1 = nullptr;
    QCheckBox* m_check2 = nullptr;
    QComboBox* m_combo9 = nullptr;
};
