#pragma once

#include <QByteArray>
#include <QString>

// Text in a charset a server declares ("EUC-JP", "Shift_JIS", "UTF-8"),
// decoded the way the embedded browser decodes the same page, so that a
// title read by a plain request and one read from the engine's document are
// the same text. EUC-JP: two-byte codes through CP932's table (the NEC row 13
// and the NEC-selected IBM rows 89-92 included), three-byte codes through JIS
// X 0212. Shift_JIS in any of its usual spellings: CP932.
namespace charset {

// False, with `text` untouched, for a charset the program does not know. Bytes
// that are not valid in it become U+FFFD.
bool decode(const QByteArray& bytes, const QByteArray& name, QString* text);

}  // namespace charset
