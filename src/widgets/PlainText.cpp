#include "widgets/PlainText.h"

#include <QPlainTextEdit>

namespace PlainText {

QString crlf(const QPlainTextEdit* edit) {
    QString t = edit->toPlainText();
    return t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

void setCrlf(QPlainTextEdit* edit, const QString& text) {
    QString t = text;
    edit->setPlainText(t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

}  // namespace PlainText
