#include "memory/MemoryStore.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

#include "core/UiServices.h"
#include "memory/MemoryTable.h"
#include "core/TextFile.h"
#include "settings/IniFile.h"
#include "widgets/PlainText.h"
#include "widgets/VbCheck.h"

namespace {
const QString kCaption = QStringLiteral("記憶ファイル");
}

MemoryStore::MemoryStore(QWidget* window, UiServices& ui) : m_window(window), m_ui(ui) {}

QWidget* MemoryStore::control(const QString& name) const {
    // The window's own control of that name, not one of a dialog that happens to be open over it.
    for (QWidget* w : m_window->findChildren<QWidget*>(name))
        if (w->window() == m_window) return w;
    return nullptr;
}

QMap<QString, QString> MemoryStore::controlValues() const {
    QMap<QString, QString> values;
    for (const memory::Key& key : memory::keys()) {
        QWidget* w = control(key.control);
        QString v;
        if (auto* radio = qobject_cast<QRadioButton*>(w))
            v = radio->isChecked() ? QStringLiteral("True") : QStringLiteral("False");
        else if (auto* box = qobject_cast<QCheckBox*>(w))
            v = QString::number(VbCheck::value(box));
        else if (auto* combo = qobject_cast<QComboBox*>(w))
            // A box that takes typed text (the weight) is an item only when its text is one:
            // the index it last selected may belong to another weight.
            v = QString::number(combo->isEditable() ? combo->findText(combo->currentText(), Qt::MatchFixedString | Qt::MatchCaseSensitive)
                                                    : combo->currentIndex());
        else if (auto* edit = qobject_cast<QLineEdit*>(w))
            v = edit->text();
        else if (auto* memo = qobject_cast<QPlainTextEdit*>(w))
            v = PlainText::crlf(memo);
        else if (auto* label = qobject_cast<QLabel*>(w))
            v = label->text();
        values.insert(key.control, v);
    }
    return values;
}

void MemoryStore::apply(const QString& name, const QString& value) const {
    QWidget* w = control(name);
    if (auto* radio = qobject_cast<QRadioButton*>(w)) {
        const bool on = value == QLatin1String("True");
        // "False" unticks this option even though it is one of a pair: a file that says False for
        // both leaves neither chosen, and the site's form gets the same.
        QButtonGroup* group = radio->group();
        if (!on && group) group->setExclusive(false);
        radio->setChecked(on);
        if (!on && group) group->setExclusive(true);
    } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
        VbCheck::setValue(box, value.toInt());
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        combo->setCurrentIndex(value.toInt());
    } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(value);
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
        PlainText::setCrlf(memo, value);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(value);
    }
}

bool MemoryStore::SaveFile(const QString& path) {
    IniFile file = IniFile::load(path);
    QString unmappable;
    memory::write(file, controlValues(), &unmappable);
    if (!file.save()) {
        m_ui.message(QStringLiteral("記憶ファイルを保存できませんでした。\r\n") + path +
                         QStringLiteral("\r\nフォルダがあるか、書き込みできるかを確認して下さい。"),
                     kCaption, UiServices::Icon::Critical, UiServices::Buttons::Ok, m_window);
        return false;
    }
    if (!unmappable.isEmpty())
        m_ui.message(QStringLiteral("次の文字は記憶ファイルに保存できないため、「&#番号;」の形で保存しました。\r\n") + unmappable, kCaption,
                     UiServices::Icon::Information, UiServices::Buttons::Ok, m_window);
    return true;
}

bool MemoryStore::ReadFile(const QString& path) {
    // A pipe or a device would keep the window waiting for bytes that never come.
    if (QFileInfo::exists(path) && !QFileInfo(path).isFile()) {
        m_ui.message(QStringLiteral("「%1」はファイルではありません。\r\n").arg(QFileInfo(path).fileName()) + path, kCaption,
                     UiServices::Icon::Critical, UiServices::Buttons::Ok, m_window);
        return false;
    }
    QFile probe(path);
    if (!probe.exists() || !probe.open(QIODevice::ReadOnly)) {
        m_ui.message(QStringLiteral("記憶ファイルを開けませんでした。\r\n") + path, kCaption, UiServices::Icon::Critical,
                     UiServices::Buttons::Ok, m_window);
        return false;
    }
    probe.close();
    // Junk (a picture, a file of another program) would reset every pane to empty values: it is
    // no memory file, and nothing on the screen changes.
    QString text;
    const TextFile::Read read = TextFile::readCp932Text(path, &text);
    const IniFile file = IniFile::load(path);
    bool known = false;
    for (const char* section : {"メール作成", "送料計算", "出品ﾌｫｰﾑ作成", "出品手続"})
        known = known || file.hasSection(QString::fromUtf8(section));
    known = known || file.hasSection(memory::kListingSection);
    if (read == TextFile::Read::NotText || (!text.trimmed().isEmpty() && !known)) {
        m_ui.message(QStringLiteral("記憶ファイルとして読み込めませんでした。\r\n") + path, kCaption, UiServices::Icon::Critical,
                     UiServices::Buttons::Ok, m_window);
        return false;
    }
    for (const memory::Key& key : memory::keys()) {
        QWidget* w = control(key.control);
        if (!w) continue;
        const auto* combo = qobject_cast<QComboBox*>(w);
        const std::optional<QString> value = memory::applied(key.kind, file.value(key.section, key.key), combo ? combo->count() : 0);
        if (value) apply(key.control, *value);
    }
    return true;
}
