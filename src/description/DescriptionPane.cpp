#include "description/DescriptionPane.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <memory>

#include "core/ProgramFolder.h"
#include "core/UiServices.h"
#include "widgets/ScreenFit.h"
#include "widgets/Browser.h"
#include "widgets/EnterKeyFilter.h"
#include "widgets/Named.h"
#include "widgets/CounterLabel.h"
#include "widgets/PlainText.h"
#include "description/ClearableCombo.h"
#include "description/ListPickDialog.h"
#include "description/Preview.h"
#include "description/PreviewWindow.h"
#include "description/frmLINK.h"
#include "description/frmMOJI.h"

namespace {
const QString kFullWidthDigits = QStringLiteral("０１２３４５６７８９");

QString twoDigits(int n) {  // 1 -> "０１"
    return QString(kFullWidthDigits.at(n / 10)) + kFullWidthDigits.at(n % 10);
}

}  // namespace

DescriptionPane::DescriptionPane(UiServices& ui, QWidget* parent) : QWidget(parent), m_ui(ui) {
    setObjectName(QStringLiteral("DescriptionPane"));
    auto* layout = new QHBoxLayout(ScreenFit::scrollingContent(this));
    auto* splitter = new QSplitter(Qt::Horizontal);
    layout->addWidget(splitter);

    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(buildDesignFrame());
    leftLayout->addWidget(buildItemTabs(), 1);
    leftLayout->addWidget(buildButtons());
    splitter->addWidget(left);

    auto* right = new QSplitter(Qt::Vertical);
    auto* preview = named(new QGroupBox(QStringLiteral("プレビュー")), QStringLiteral("fraPreview"));
    auto* previewLayout = new QVBoxLayout(preview);
    m_wb3 = named(new Browser, QStringLiteral("WB3"));
    previewLayout->addWidget(m_wb3);
    right->addWidget(preview);
    auto* htmlFrame = named(new QGroupBox(QStringLiteral("ＨＴＭＬ")), QStringLiteral("fraHTML"));
    auto* htmlLayout = new QVBoxLayout(htmlFrame);
    m_txtHTML =
        named(new QPlainTextEdit, QStringLiteral("txtHTML"), QStringLiteral("生成された出品ﾌｫｰﾑHTMLのソースを表示します。(編集可)"));
    m_txtHTML->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    htmlLayout->addWidget(m_txtHTML);
    right->addWidget(htmlFrame);
    right->setStretchFactor(0, 3);
    right->setStretchFactor(1, 2);
    right->setSizes({460, 240});
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);

    // Enter moves on from the design settings, the item names and the HTML box.
    EnterKeyFilter::install(this, {QStringLiteral("cmbHTML"), QStringLiteral("cmbKIGOU"), QStringLiteral("Combo6"),
                                   QStringLiteral("txtHTML"), QStringLiteral("txtITEM"), QStringLiteral("txtSYOUHIN")});
    updateCounter();
}

QWidget* DescriptionPane::buildDesignFrame() {
    auto* frame = named(new QGroupBox(QStringLiteral("デザイン設定")), QStringLiteral("fraDesign"));
    auto* grid = new QGridLayout(frame);
    grid->addWidget(new QLabel(QStringLiteral("種類")), 0, 0);
    m_cmbHTML = named(new QComboBox, QStringLiteral("cmbHTML"),
                      QStringLiteral("出品ﾌｫｰﾑのデザインを選択して下さい。(右画面にﾌﾟﾚﾋﾞｭｰが表示されます。)"));
    grid->addWidget(m_cmbHTML, 0, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("タイトル(商品名)")), 1, 0);
    m_txtSYOUHIN = named(new QLineEdit, QStringLiteral("txtSYOUHIN"));
    grid->addWidget(m_txtSYOUHIN, 1, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("マーク")), 2, 0);
    m_cmbKIGOU = named(new QComboBox, QStringLiteral("cmbKIGOU_1"), QStringLiteral("タイトルに自動的に挿入するマークを選択して下さい。"));
    m_cmbKIGOU->addItems(description::kMarks);
    m_cmbKIGOU->setCurrentIndex(-1);
    ClearableCombo::install(m_cmbKIGOU);
    grid->addWidget(m_cmbKIGOU, 2, 1);
    m_label16 = named(new QLabel, QStringLiteral("Label16"), QStringLiteral("バイト数が表示されます。"));
    CounterLabel::prepare(m_label16);
    grid->addWidget(m_label16, 2, 2);
    grid->setColumnStretch(3, 1);

    connect(m_cmbHTML, &QComboBox::currentTextChanged, this, &DescriptionPane::showDesign);
    connect(m_txtSYOUHIN, &QLineEdit::textChanged, this, &DescriptionPane::onProductNameChanged);
    connect(m_cmbKIGOU, &QComboBox::currentIndexChanged, this, &DescriptionPane::updateCounter);
    return frame;
}

QWidget* DescriptionPane::buildItemTabs() {
    auto* tab3 = named(new QTabWidget, QStringLiteral("vsIndexTab3"));

    // Page "項目": the eight names, and the contents on a two-page tab.
    auto* items = new QWidget;
    auto* itemsLayout = new QVBoxLayout(items);
    auto* names = new QGridLayout;
    for (int k = 0; k < description::kItems; ++k) {
        names->addWidget(new QLabel(QStringLiteral("項目") + twoDigits(k + 1)), k / 2, (k % 2) * 2);
        auto* edit = named(new QLineEdit, QStringLiteral("txtITEM_%1").arg(k));
        m_txtITEM << edit;
        names->addWidget(edit, k / 2, (k % 2) * 2 + 1);
    }
    itemsLayout->addLayout(names);
    auto* tab2 = named(new QTabWidget, QStringLiteral("vsIndexTab2"));
    for (int page = 0; page < 2; ++page) {
        auto* w = new QWidget;
        auto* g = new QGridLayout(w);
        for (int j = 0; j < 4; ++j) {
            const int k = page * 4 + j;
            auto* label = named(new QLabel, QStringLiteral("lbl_ITEM_%1").arg(k),
                                QStringLiteral("項目") + twoDigits(k + 1) + QStringLiteral("を表示します。"));
            label->setFrameShape(QFrame::StyledPanel);
            label->setTextFormat(Qt::PlainText);  // an item name shows as typed, markup included
            auto* content = named(new QPlainTextEdit, QStringLiteral("txtSETUMEI_%1").arg(k),
                                  QStringLiteral("項目") + twoDigits(k + 1) + QStringLiteral("の内容を入力します。"));
            content->setTabChangesFocus(true);
            m_lblITEM << label;
            m_txtSETUMEI << content;
            g->addWidget(label, (j / 2) * 2, j % 2);
            g->addWidget(content, (j / 2) * 2 + 1, j % 2);
        }
        tab2->addTab(w, page == 0 ? QStringLiteral("項目01～04") : QStringLiteral("項目05～08"));
    }
    itemsLayout->addWidget(tab2, 1);
    for (int k = 0; k < description::kItems; ++k) connect(m_txtITEM[k], &QLineEdit::textChanged, m_lblITEM[k], &QLabel::setText);
    tab3->addTab(items, QStringLiteral("項目"));

    // Pages "支払" and "発送": stored with the memory file, nothing more.
    const QStringList rows = [] {
        QStringList r;
        for (int k = 1; k <= description::kItems; ++k) r << QStringLiteral("項目") + twoDigits(k);
        return r;
    }();
    auto checkPage = [&](const QString& prefix, const QStringList& captions, int comboIndex) {
        auto* page = new QWidget;
        auto* g = new QGridLayout(page);
        for (int i = 0; i < captions.size(); ++i)
            g->addWidget(named(new QCheckBox(captions[i]), QStringLiteral("%1_%2").arg(prefix).arg(i)), i / 2, i % 2);
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(QStringLiteral("追加先")));
        auto* target = named(new QComboBox, QStringLiteral("Combo7_%1").arg(comboIndex));
        target->addItems(rows);
        row->addWidget(target);
        row->addStretch(1);
        g->addLayout(row, (captions.size() + 1) / 2, 0, 1, 2);
        g->setRowStretch((captions.size() + 1) / 2 + 1, 1);
        return page;
    };
    tab3->addTab(checkPage(QStringLiteral("ckSIHARAI"),
                           {QStringLiteral("銀行振込"), QStringLiteral("郵便振替"), QStringLiteral("代金引換"),
                            QStringLiteral("かんたん決済"), QStringLiteral("その他")},
                           0),
                 QStringLiteral("支払"));
    tab3->addTab(
        checkPage(QStringLiteral("ckHSSOU"),
                  {QStringLiteral("ミニレター"), QStringLiteral("定形郵便"), QStringLiteral("定形外郵便"), QStringLiteral("冊子小包"),
                   QStringLiteral("EXPACK500"), QStringLiteral("クロネコメール便"), QStringLiteral("ゆうパック"),
                   QStringLiteral("Yahoo!ゆうパック"), QStringLiteral("ヤマト宅急便"), QStringLiteral("その他ご要望")},
                  1),
        QStringLiteral("発送"));
    return tab3;
}

QWidget* DescriptionPane::buildButtons() {
    auto* box = new QWidget;
    auto* g = new QGridLayout(box);
    g->setContentsMargins(0, 0, 0, 0);
    m_ckMy = named(new QCheckBox(QStringLiteral("マイオークション表示")), QStringLiteral("ckMy"),
                   QStringLiteral("マイブースを出品ﾌｫｰﾑに表示する時はﾁｪｯｸを入れてください。"));
    m_combo6 = named(new QComboBox, QStringLiteral("Combo6"), QStringLiteral("マイブースのリンクの形態を選択して下さい。"));
    m_combo6->addItems({QStringLiteral("テキスト形式"), QStringLiteral("バナ-形式")});
    m_combo6->setCurrentIndex(-1);  // nothing chosen: the banner form
    g->addWidget(m_ckMy, 0, 0);
    g->addWidget(m_combo6, 0, 1);
    auto button = [&](const char* name, const QString& caption, const QString& tip) {
        return named(new QPushButton(caption), QLatin1String(name), tip);
    };
    auto* phrases = button("Command8", QStringLiteral("文言一覧"), QStringLiteral("文言一覧を表示します。"));
    auto* itemNames = button("Command10", QStringLiteral("項目一覧"), QStringLiteral("項目一覧画面を表示します。"));
    auto* decoration = button("Command6", QStringLiteral("文字装飾"), QStringLiteral("文字装飾画面を表示します。"));
    auto* link = button("Command11", QStringLiteral("リンク作成"), QStringLiteral("リンク作成画面を表示します。"));
    auto* preview = button("cmdPre", QStringLiteral("ﾌﾟﾚﾋﾞｭｰ"), QStringLiteral("出品ﾌｫｰﾑHTMLのプレビュー表示を行います。"));
    m_command9 = button("Command9", QStringLiteral("出品手続へ"), QStringLiteral("出品ﾌｫｰﾑ作成画面の情報を出品手続き画面反映させます。"));
    g->addWidget(phrases, 1, 0);
    g->addWidget(itemNames, 1, 1);
    g->addWidget(decoration, 2, 0);
    g->addWidget(link, 2, 1);
    g->addWidget(preview, 3, 0);
    g->addWidget(m_command9, 3, 1);
    connect(phrases, &QPushButton::clicked, this, &DescriptionPane::Command8_Click);
    connect(itemNames, &QPushButton::clicked, this, &DescriptionPane::Command10_Click);
    connect(decoration, &QPushButton::clicked, this, &DescriptionPane::Command6_Click);
    connect(link, &QPushButton::clicked, this, &DescriptionPane::Command11_Click);
    connect(preview, &QPushButton::clicked, this, &DescriptionPane::cmdPre_Click);
    connect(m_command9, &QPushButton::clicked, this, &DescriptionPane::Command9_Click);
    return box;
}

void DescriptionPane::fillDesignList(const QString& folder) {
    const QSignalBlocker block(m_cmbHTML);
    m_cmbHTML->clear();
    m_cmbHTML->addItems(description::listDesigns(folder));
    if (m_cmbHTML->count() > 0) m_cmbHTML->setCurrentIndex(0);
}

void DescriptionPane::showDesign() {
    if (m_cmbHTML->currentText().isEmpty()) return;
    // Seen only on this tab: a design chosen while it is hidden (at start-up) shows when it opens.
    m_wb3->navigateWhenShown(ProgramFolder::templateHtml() + m_cmbHTML->currentText());
}

void DescriptionPane::onProductNameChanged() {
    updateCounter();
    // A pasted multi-line name becomes one line; the change re-runs the counter.
    const QString text = m_txtSYOUHIN->text();
    QString oneLine = text;
    oneLine.remove(QStringLiteral("\r\n")).remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    if (oneLine != text) m_txtSYOUHIN->setText(oneLine);
}

void DescriptionPane::updateCounter() {
    const int bytes = description::titleByteCount(m_cmbKIGOU->currentText(), m_txtSYOUHIN->text());
    CounterLabel::show(m_label16, bytes, description::titleTooLong(bytes));
}

description::Input DescriptionPane::input() const {
    description::Input in;
    in.mark = m_cmbKIGOU->currentText();
    in.productName = m_txtSYOUHIN->text();
    for (int k = 0; k < description::kItems; ++k) {
        in.itemNames << m_txtITEM[k]->text();
        in.itemContents << PlainText::crlf(m_txtSETUMEI[k]);
    }
    in.myAuction = m_ckMy->isChecked();
    in.myAuctionForm = m_combo6->currentIndex();
    in.sellerId = m_sellerId ? m_sellerId() : QString();
    return in;
}

void DescriptionPane::setItem(int row, const QString& name, const QString& content) {
    if (row < 0 || row >= description::kItems) return;
    m_txtITEM[row]->setText(name);
    PlainText::setCrlf(m_txtSETUMEI[row], content);
}

QString DescriptionPane::htmlText() const { return PlainText::crlf(m_txtHTML); }

void DescriptionPane::cmdPre_Click() {
    if (m_txtSYOUHIN->text().isEmpty()) {
        m_ui.message(QStringLiteral("タイトル(商品名)を入力して下さい。"), description::kCaption, UiServices::Icon::Information,
                     UiServices::Buttons::Ok, this);
        return;
    }
    showDesign();
    const auto outcome =
        description::buildPreview(ProgramFolder::templateHtml() + m_cmbHTML->currentText(), input(), ProgramFolder::previewFile());
    if (!outcome.ok) {
        m_ui.message(outcome.message, description::kCaption, UiServices::Icon::Critical, UiServices::Buttons::Ok, this);
        return;
    }
    PlainText::setCrlf(m_txtHTML, outcome.output.html);
    openPreview();
}

void DescriptionPane::openPreview() {
    const QUrl file = QUrl::fromLocalFile(ProgramFolder::previewFile());
    if (m_ui.openWithDesktop(file)) return;
    // No program for HTML files, or it did not start: the preview is shown all the same, and the
    // seller is told why it is in the program's own window (once; the window says it too).
    if (!m_previewWindow) m_previewWindow = new PreviewWindow(window());
    m_previewWindow->showFile(file);
    if (!m_toldNoBrowser) {
        m_toldNoBrowser = true;
        m_ui.message(QStringLiteral("HTMLファイルを開くプログラム（ブラウザ）が設定されていないか、起動できませんでした。\r\n"
                                    "ソラバコの画面でプレビューを表示します。"),
                     description::kCaption, UiServices::Icon::Information, UiServices::Buttons::Ok, this);
    }
}

void DescriptionPane::Command9_Click() {
    if (m_txtSYOUHIN->text().isEmpty()) {  // exactly empty: a name of blanks is still a name here
        m_ui.message(QStringLiteral("タイトル(商品名)を入力して下さい。"), description::kCaption, UiServices::Icon::Information,
                     UiServices::Buttons::Ok, this);
        return;
    }
    Q_EMIT listingRequested(description::listingTitle(m_cmbKIGOU->currentText(), m_txtSYOUHIN->text()), htmlText());
}

void DescriptionPane::shippingPreview(const QString& html) {
    m_txtHTML->clear();
    if (!description::writeShippingPreview(html, ProgramFolder::previewFile())) {
        m_ui.message(description::cannotWriteMessage(ProgramFolder::previewFile()), description::kCaption, UiServices::Icon::Critical,
                     UiServices::Buttons::Ok, this);
        return;
    }
    openPreview();
}

void DescriptionPane::Command6_Click() {
    frmMOJI dialog(m_ui, this);
    dialog.exec();
}

void DescriptionPane::Command11_Click() {
    frmLINK dialog(m_ui, this);
    dialog.exec();
}

void DescriptionPane::Command8_Click() {
    // The phrase list stays open beside the main window; there is only ever one.
    if (m_phrases) {
        m_phrases->raise();
        m_phrases->activateWindow();
        return;
    }
    auto* dialog = ListPickDialog::create(ListPickDialog::Kind::Phrases, m_ui, this);
    if (!dialog) return;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    m_phrases = dialog;
    dialog->show();
}

void DescriptionPane::Command10_Click() {
    std::unique_ptr<ListPickDialog> dialog(ListPickDialog::create(ListPickDialog::Kind::Items, m_ui, this));
    if (dialog) dialog->exec();
}
