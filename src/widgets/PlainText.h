#pragma once

#include <QString>

class QPlainTextEdit;

// Multi-line boxes hold "\n"; the program's texts and files use CR LF.
namespace PlainText {
QString crlf(const QPlainTextEdit* edit);
void setCrlf(QPlainTextEdit* edit, const QString& text);
}  // namespace PlainText
