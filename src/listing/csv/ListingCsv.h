#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "core/Csv.h"

class IniFile;

// Listings in a spreadsheet: one row per item, its columns the listing's
// fields by their Japanese names. A row read from a file becomes the
// controls' values a memory file is written from, with every problem named
// by row and column before anything is made; a memory file becomes a row
// again, so that a file exported and imported gives the same memory file.
namespace listingcsv {

struct Column {
    QString name;   // the header's text
    QString holds;  // what the seller writes there (the README's table and the sample say it)
};
const QList<Column>& columns();

// The column holding the memory file a row was exported from: the row is made on that file
// (every key the spreadsheet does not hold stays as it was there).
inline const QString kBaseColumn = QStringLiteral("記憶ファイル");

struct Problem {
    QString column;
    QString text;
};

struct Row {
    int line = 0;                         // the row's number as the spreadsheet shows it (the header is 1)
    QMap<QString, QString> controls;      // control's object name → value, what the row says
    QString base;                         // 記憶ファイル, as a full path
    QMap<QString, QString> baseControls;  // what that file holds
    int design = -1;                      // デザイン: the design template's place in the list
    QList<Problem> problems;
    bool good() const { return problems.isEmpty(); }
    QString title() const { return controls.value(QStringLiteral("txtTitle")); }
};

struct Context {
    QString csvFolder;                                      // pictures and memory files named relative to the CSV
    QStringList designs;                                    // the design templates' names, in the pane's order
    QMap<QString, QString> categories;                      // category paths the seller has used → their addresses
    std::function<QString(const QString&)> pictureProblem;  // empty when the file is a picture
    std::function<std::optional<QMap<QString, QString>>(const QString&)> readMemory;  // a memory file's controls
};

struct Plan {
    QString problem;  // the file as a whole; no rows then
    QStringList unknownColumns;
    QList<Row> rows;
    int goodRows() const;
};
Plan plan(const csv::Table& table, const Context& context);

// Controls that belong to one item, with the value a row made without a memory file of its own
// starts from instead of the window's (another item's pictures, price, paid options or parcel
// would go out with it).
const QMap<QString, QString>& itemDefaults();

// The header and a memory file's row (controls as memory::read gives them), in columns() order.
QStringList header();
QStringList exportRow(const QMap<QString, QString>& controls, const QString& memoryFile, const QStringList& designs);
// The whole file: CP932 with CR LF as Excel reads it, or UTF-8 with its BOM when a character
// has no CP932 code (Excel reads both).
QByteArray exportBytes(const QList<QStringList>& rows);

// What making a row needs from the rest of the program.
struct Maker {
    QByteArray windowFile;  // the window's state as a memory file, its item's controls empty
    std::function<void(IniFile&, const QMap<QString, QString>&)> writeSome;  // the memory table's writer
    // The controls the description built from a design gives (the description, the design's
    // place), or nothing with `problem` said.
    std::function<std::optional<QMap<QString, QString>>(int design, const QMap<QString, QString>&, QString* problem)> describe;
};
struct Made {
    QStringList files;
    QStringList failures;  // Japanese, one per row not written
};
// Each good row as a new memory file in `folder`, named after its title (never over another file).
Made make(const QList<Row>& rows, const QString& folder, const Maker& maker);

QString fileNameFor(const QString& title);

// What the windows of import and export take from the rest of the program.
struct Hooks {
    std::function<Context()> context;                                                 // all but the CSV's folder
    std::function<Maker()> maker;                                                     // the window's state at the moment of making
    std::function<std::optional<QMap<QString, QString>>(const QString&)> readMemory;  // a memory file's controls
};

}  // namespace listingcsv
