#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <optional>

class IniFile;

// The memory file: which control each key stores, how its value is written,
// and how a value read back is applied. It knows no widgets: a control's
// value is text (a check box "0"/"1"/"2", an option "True"/"False", a list
// its selected index, text boxes their text with CR LF line breaks).
namespace memory {

enum class Kind {
    Check,           // "0", "1" or "2" (grayed)
    Option,          // "True" or "False"
    List,            // the selected index, "-1" for none
    EyeCatch,        // a list whose value must be a whole number (目立ちアイコン)
    Text,            // as it is
    MultiLine,       // CR LF stored as backslash and "n"
    Number,          // a number box: read back as the number at its start ("" is 0)
    OptionalNumber,  // a number box that may be empty
};

struct Key {
    QString section;
    QString key;
    QString control;  // object name (a member of a control array: name_index)
    Kind kind;
};

// Every key, in writing order; sections come in the order a new file gets them.
const QList<Key>& keys();

// The file's value for a control's value.
QString written(Kind kind, const QString& controlValue);

// The value a control takes from the file's value, its references read back
// as the characters they stand for; nothing when the control is to stay as it
// is. `listCount` is the number of entries of a list.
std::optional<QString> applied(Kind kind, const QString& fileValue, int listCount);

// Every key written into `file` (in memory) from the controls' values.
// Characters the file's code page cannot hold are kept as numeric character
// references, which applied() reads back; they are added to `unmappable`.
void write(IniFile& file, const QMap<QString, QString>& controlValues, QString* unmappable = nullptr);

// Only the keys of the controls `controlValues` names, the others as the file has them.
void writeSome(IniFile& file, const QMap<QString, QString>& controlValues, QString* unmappable = nullptr);

// The controls' values a file holds, as applied() reads them (lists by their index as
// written; a key the file lacks, or a value no control could take, is left out).
QMap<QString, QString> read(const IniFile& file);

inline const QString kListingSection = QStringLiteral("出品カテゴリと画像");

inline const QString kFilter = QStringLiteral("記憶ファイル(*.SRB)|*.srb");
inline const QString kExtension = QStringLiteral(".srb");

// A name typed without an extension gets ".srb" (the open dialog shows no other files).
QString withExtension(const QString& path);

}  // namespace memory
