#include "description/ListPickDialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/ProgramFolder.h"
#include "core/TextFile.h"
#include "core/UiServices.h"
#include "widgets/EnterKeyFilter.h"
#include "widgets/Grid.h"
#include "description/ClearableCombo.h"
#include "description/Cp932Editor.h"
#include "description/Description.h"

QString ListPickDialog::listFile(Kind kind) {
    return ProgramFolder::mast() + (kind == Kind::Phrases ? QStringLiteral("文言一覧.txt") : QStringLiteral("項目一覧.txt"));
}

ListPickDialog* ListPickDialog::create(Kind kind, UiServices& ui, QWidget* parent) {
    QString text;
    const TextFile::Read read = TextFile::readCp932Text(listFile(kind), &text);
    if (read != TextFile::Read::Ok) {
        ui.message((read == TextFile::Read::Missing ? QStringLiteral("一覧ファイルが見つかりません。\r\n")
                                                    : QStringLiteral("一覧ファイルを読み込めませんでした。\r\n"
                                                                     "Shift-JIS（CP932）のテキストファイルか確認して下さい。\r\n")) +
                       listFile(kind),
                   kind == Kind::Phrases ? QStringLiteral("文言一覧") : QStringLiteral("項目一覧"), UiServices::Icon::Critical,
                   UiServices::Buttons::Ok, parent);
        return nullptr;
    }
    return new ListPickDialog(kind, description::templateLines(text), ui, parent);
}

ListPickDialog::ListPickDialog(Kind kind, const QStringList& lines, UiServices& ui, QWidget* parent)
    : QDialog(parent), m_kind(kind), m_ui(ui) {
    const bool phrases = kind == Kind::Phrases;
    setObjectName(phrases ? QStringLiteral("frmGOKU") : QStringLiteral("frmKOUMOKU"));
    setWindowTitle(phrases ? QStringLiteral("文言一覧") : QStringLiteral("項目一覧"));
    auto* layout = new QVBoxLayout(this);

    auto* menuBar = new QMenuBar;
    QMenu* file = menuBar->addMenu(QStringLiteral("ファイル(&F)"));
    QAction* edit = file->addAction(phrases ? QStringLiteral("文言登録") : QStringLiteral("項目登録"));
    edit->setObjectName(phrases ? QStringLiteral("mS") : QStringLiteral("mKOUMOKU"));
    connect(edit, &QAction::triggered, this, &ListPickDialog::editListFile);
    layout->setMenuBar(menuBar);

    m_grid = new Grid;
    m_grid->setObjectName(QStringLiteral("vfS"));
    m_grid->setCols(2);
    m_grid->setRows(1 + static_cast<int>(lines.size()));
    m_grid->setText(0, 0, QStringLiteral("文言一覧"));
    m_grid->setColWidthTwips(0, 6000);
    m_grid->setColWidthTwips(1, 960);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int k = 0; k < lines.size(); ++k) m_grid->setText(k + 1, 0, lines[k]);
    if (!lines.isEmpty()) m_grid->setRow(1);
    layout->addWidget(m_grid, 1);

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("マーク:")));
    m_mark = new QComboBox;
    m_mark->setObjectName(QStringLiteral("cmbKIGOU_0"));
    m_mark->addItems(description::kMarks);
    m_mark->setCurrentIndex(-1);
    ClearableCombo::install(m_mark);
    row->addWidget(m_mark);
    row->addStretch(1);
    auto* copy = new QPushButton(QStringLiteral("コピー"));
    copy->setObjectName(QStringLiteral("cmdCOPY"));
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"));
    cancel->setObjectName(QStringLiteral("Command1"));
    row->addWidget(copy);
    row->addWidget(cancel);
    layout->addLayout(row);
    resize(540, 460);

    EnterKeyFilter::install(this, {QStringLiteral("cmbKIGOU")});
    connect(copy, &QPushButton::clicked, this, &ListPickDialog::cmdCOPY_Click);
    connect(m_grid, &Grid::DblClick, this, &ListPickDialog::cmdCOPY_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void ListPickDialog::cmdCOPY_Click() {
    const int row = m_grid->row();
    if (row < 1) return;  // an empty list: nothing to copy
    const QString line = m_grid->text(row, 0);
    const QString mark = m_mark->currentText();
    m_ui.setClipboardText(m_kind == Kind::Phrases ? description::phraseClip(mark, line) : description::itemClip(mark, line));
    accept();
}

void ListPickDialog::editListFile() {
    // The editor outlives this dialog and belongs to the main window; the open grid is not reloaded.
    QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    auto* editor = new Cp932Editor(listFile(m_kind), m_ui, owner);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    editor->setWindowModality(Qt::ApplicationModal);
    editor->show();
}
