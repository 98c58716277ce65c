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
// character reference ("&#128512;"), as HTML keeps them.
QString escaped(const QString& text);

// As escaped(), for a file whose text is read back with unescaped() (the memory
// files): a reference typed as text that unescaped() would read as a character
// keeps its "&" as "&#38;", so the text reads back exactly as it was.
QString reversiblyEscaped(const QString& text);

// The characters a file keeps as references, read back: "&#233;" is "é" again.
// Only what the writers above produce is read: a decimal reference, written
// without leading zeros, to a character CP932 cannot hold (not NUL), and
// "&#38;" standing for the "&" of such a reference typed as text. Anything
// else ("&#38;", "&#65;", "&#x41;", "&#0233;", "&#233" without its ";") stays
// as it is: to HTML the characters mean the same as their references, and in
// plain text they are what was typed.
QString unescaped(const QString& text);

bool canEncode(const QString& text);

// The ANSI code of one character: the byte for a single-byte character, the
// two-byte code read as a signed 16-bit number for a double-byte one. Returns
// false for a character CP932 does not hold.
bool ansiCode(const QString& character, int* code);

// The character whose ANSI code is `code`; false when the code is outside the
// signed 16-bit range or names no character.
bool fromAnsiCode(int code, QString* character);

}  // namespace cp932
