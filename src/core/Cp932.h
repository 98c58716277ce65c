#pragma once

#include <QByteArray>
#include <QString>

// The program's files are Windows-31J. Only iconv's "CP932" table maps the
// bytes the way Windows does (0x8160 to U+FF5E, NEC and IBM extensions);
// "SHIFT_JIS" would turn the wave dash and the circled numbers into errors.
namespace cp932 {

// Bytes that are not valid CP932 become U+FFFD, one per bad byte; decoding never fails.
QString decode(const QByteArray& bytes);

// Characters CP932 cannot hold become "?" (one byte each), as Windows does.
// So do the few that its table writes only as another character's code (¥ as
// "\\", ‾ as "~", 〜 as "～", − as "－" ...): they would not read back as typed.
QByteArray encode(const QString& text);

// As encode(); every character that could not be held is appended to
// `unmappable` (once per occurrence) so that callers can say which ones.
QByteArray encode(const QString& text, QString* unmappable);

// The text with every character CP932 cannot hold written as a numeric
// character reference ("&#128512;"), as HTML and the memory files keep them.
QString escaped(const QString& text);

bool canEncode(const QString& text);

// The ANSI code of one character: the byte for a single-byte character, the
// two-byte code read as a signed 16-bit number for a double-byte one. Returns
// false for a character CP932 does not hold.
bool ansiCode(const QString& character, int* code);

// The character whose ANSI code is `code`; false when the code is outside the
// signed 16-bit range or names no character.
bool fromAnsiCode(int code, QString* character);

}  // namespace cp932
