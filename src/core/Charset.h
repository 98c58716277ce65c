#pragma once

#include <QByteArray>
#include <QString>

// Text in a charset a server declares ("EUC-JP", "Shift_JIS", "UTF-8"),
// through the same iconv the program's CP932 files use.
namespace charset {

// False, with `text` untouched, for a charset iconv does not know. Bytes that
// are not valid in it become U+FFFD.
bool decode(const QByteArray& bytes, const QByteArray& name, QString* text);

}  // namespace charset
