#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// Everything the program knows about the auction site's pages, as data: the
// paths, the listing form's elements, the texts the program looks for on item
// pages, list pages and the login page. The values are built in; the seller's
// MAST/サイト定義.ini (the program's profile format, CP932) may set any of
// them, so that a site that changed a page is mended without a new program.
namespace site {

// One fact: where it is kept in the file, its built-in value, and its shape.
struct Fact {
    QString section;
    QString key;
    QString builtIn;
    int items = 0;  // a list of this many texts, separated by ","; 0 for one text
    // A whole number from `least` to `most` (a position on a page, a count, a size); both 0 for a text.
    qint64 least = 0;
    qint64 most = 0;
    bool isNumber() const { return most > least; }
};

// Every fact, section by section in the file's order.
const QList<Fact>& allFacts();

inline const QString kDefinitionFile = QStringLiteral("サイト定義.ini");

// The page sections of the file.
inline const QString kPaths = QStringLiteral("アドレス");
inline const QString kForm = QStringLiteral("出品フォーム");
inline const QString kUpload = QStringLiteral("画像アップロード");
inline const QString kConfirm = QStringLiteral("確認画面");
inline const QString kFinished = QStringLiteral("出品完了");
inline const QString kItem = QStringLiteral("商品ページ");
inline const QString kSelling = QStringLiteral("出品中一覧");
inline const QString kClosed = QStringLiteral("出品終了分");
inline const QString kLogin = QStringLiteral("ログイン");
inline const QString kFeedback = QStringLiteral("評価");

// What is wrong with a definition file, for the seller: the file and the line.
struct DefinitionProblem {
    int line = 0;    // from 1; 0 for the file as a whole (binary junk)
    QString reason;  // Japanese, for the message
    bool any() const { return !reason.isEmpty(); }
};

class Facts {
public:
    // The built-in values: today's site.
    static Facts builtIn();
    // The built-in values with the file's on top. A file that is damaged (binary junk, a line
    // that is no section or key, a list with the wrong count, a number out of its range, an
    // unknown key) gives the built-in values whole and says where; a missing file is no problem.
    // Lines may end in CR LF, LF or CR alone.
    static Facts fromFile(const QString& path, DefinitionProblem* problem);
    // The file's text as the shipped file holds the built-in values (for folder/MAST).
    static QString builtInFileText();

    // The facts in force: the built-in ones until the program loads the file at start.
    static const Facts& current();
    static void setCurrent(const Facts& facts);

    QString text(const QString& section, const QString& key) const;
    QStringList list(const QString& section, const QString& key) const;
    // The same key in another section, for the few facts two pages share.
    bool has(const QString& section, const QString& key) const;

private:
    QMap<QString, QString> m_values;  // "section/key" → value
};

// The message for a damaged definition file (the program goes on with the built-in values).
QString problemMessage(const QString& path, const DefinitionProblem& problem);

// Shorthands for the facts in force.
inline QString fact(const QString& section, const QString& key) { return Facts::current().text(section, key); }
inline QStringList factList(const QString& section, const QString& key) { return Facts::current().list(section, key); }

}  // namespace site
