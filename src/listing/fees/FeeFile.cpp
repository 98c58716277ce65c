#include "listing/fees/FeeFile.h"

#include <QDateTime>
#include <QFileInfo>

#include "core/ProgramFolder.h"
#include "core/TextFile.h"

QString FeeFile::defaultPath() { return ProgramFolder::mast() + listing::kFeeFileName; }

void FeeFile::refresh() {
    const QFileInfo info(path());
    const QString stamp =
        info.exists() ? info.lastModified().toString(Qt::ISODateWithMs) + QLatin1Char('/') + QString::number(info.size()) : QString();
    if (m_state != State::NotRead && stamp == m_stamp) return;
    m_stamp = stamp;
    m_table = listing::FeeTable();
    QString text;
    switch (TextFile::readCp932Text(path(), &text)) {
        case TextFile::Read::Missing: m_state = State::Missing; return;
        case TextFile::Read::NotText: m_state = State::NotText; return;
        case TextFile::Read::Ok: break;
    }
    m_table = listing::parseFees(text);
    m_state = m_table.ok() ? State::Ok : State::Malformed;
}

QString FeeFile::faultToTell() {
    if (m_state == State::Ok || m_state == State::NotRead) return QString();
    const QString fault = m_stamp + QLatin1Char('|') + QString::number(static_cast<int>(m_state));
    if (fault == m_reported) return QString();
    m_reported = fault;
    QString text;
    if (m_state == State::Missing)
        text = QStringLiteral("有料オプションの料金表が見つかりません。\r\n") + path();
    else if (m_state == State::NotText)
        text =
            QStringLiteral("有料オプションの料金表を読み込めませんでした。\r\nShift-JIS（CP932）のテキストファイルか確認して下さい。\r\n") +
            path();
    else if (!m_table.missingOption.isEmpty())
        text = QStringLiteral("有料オプションの料金表に「%1」の料金がありません。\r\n").arg(m_table.missingOption) + path();
    else
        text = QStringLiteral("有料オプションの料金表の %1 行目が正しくありません。\r\n").arg(m_table.badLine) + path() +
               QStringLiteral("\r\n見出しの行「%1」の後に、「太字テキスト,10.80」のように項目名と料金を書いて下さい。")
                   .arg(listing::kFeeHeader);
    return text + QStringLiteral("\r\n料金の目安は表示できません。");
}
