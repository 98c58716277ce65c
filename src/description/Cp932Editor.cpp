#include "description/Cp932Editor.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "core/TextFile.h"
#include "core/UiServices.h"
#include "core/Cp932.h"
#include "widgets/PlainText.h"

Cp932Editor::Cp932Editor(const QString& path, UiServices& ui, QWidget* parent) : QWidget(parent, Qt::Window), m_path(path), m_ui(ui) {
    setObjectName(QStringLiteral("Cp932Editor"));
    setWindowTitle(QFileInfo(path).fileName() + QStringLiteral(" - ソラバコ"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* menuBar = new QMenuBar;
    QMenu* file = menuBar->addMenu(QStringLiteral("ファイル(&F)"));
    QAction* saveAction = file->addAction(QStringLiteral("上書き保存(&S)"));
    saveAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    QAction* closeAction = file->addAction(QStringLiteral("閉じる(&C)"));
    layout->setMenuBar(menuBar);
    m_edit = new QPlainTextEdit;
    m_edit->setObjectName(QStringLiteral("txtEdit"));
    layout->addWidget(m_edit);
    QString text;
    if (TextFile::readCp932(path, &text)) PlainText::setCrlf(m_edit, text);
    m_edit->document()->setModified(false);
    connect(saveAction, &QAction::triggered, this, &Cp932Editor::save);
    connect(closeAction, &QAction::triggered, this, &QWidget::close);
    resize(560, 480);
}

bool Cp932Editor::save() {
    const QString text = m_edit->toPlainText();
    QString bad;
    cp932::encode(text, &bad);
    if (!bad.isEmpty()) {
        m_ui.message(QStringLiteral("次の文字は保存できません。削除してから保存して下さい。\r\n") + bad, windowTitle(),
                     UiServices::Icon::Critical, UiServices::Buttons::Ok, this);
        return false;
    }
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    if (!TextFile::writeCp932Lines(m_path, lines)) {
        m_ui.message(QStringLiteral("ファイルを保存できませんでした。\r\n") + m_path, windowTitle(), UiServices::Icon::Critical,
                     UiServices::Buttons::Ok, this);
        return false;
    }
    m_edit->document()->setModified(false);
    return true;
}

void Cp932Editor::closeEvent(QCloseEvent* event) {
    if (m_edit->document()->isModified()) {
        const auto answer = m_ui.message(QStringLiteral("変更を保存しますか?"), windowTitle(), UiServices::Icon::Question,
                                         UiServices::Buttons::YesNoCancel, this);
        if (answer == UiServices::Answer::Cancel || (answer == UiServices::Answer::Yes && !save())) {
            event->ignore();
            return;
        }
    }
    event->accept();
}
