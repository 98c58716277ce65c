#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The listing description: a design template filled by line position and
// placeholders, and the small texts around it (title, byte counter, lists,
// decoration and link fragments).
namespace description {

constexpr int kTableSize = 100;    // lines a template may have
constexpr int kWrittenLines = 31;  // entries 0..30 reach the output
constexpr int kItems = 8;
constexpr int kTitleLimit = 30;  // bytes before the counter turns red

inline const QStringList kMarks{QStringLiteral("☆"), QStringLiteral("★"), QStringLiteral("□"), QStringLiteral("■"), QStringLiteral("◇"),
                                QStringLiteral("◆"), QStringLiteral("○"), QStringLiteral("●"), QStringLiteral("◎"), QStringLiteral("♪"),
                                QStringLiteral("△"), QStringLiteral("▲"), QStringLiteral("▽"), QStringLiteral("▼")};

struct Input {
    QString mark;
    QString productName;
    QStringList itemNames;     // kItems entries; missing ones count as empty
    QStringList itemContents;  // CR LF line breaks
    bool myAuction = false;
    int myAuctionForm = -1;  // selected index of the link form list: 0 text, else banner
    QString sellerId;
};

struct Output {
    QStringList table;      // the edited line table (kTableSize entries)
    QStringList fileLines;  // what the preview file receives, one entry per line
    QString html;           // the source for the HTML box (line breaks only after "<BR>")
};

// Mark with blanks trimmed, the name as typed, and the mark again.
QString listingTitle(const QString& mark, const QString& productName);
int titleByteCount(const QString& mark, const QString& productName);
bool titleTooLong(int byteCount);

// Splits template text into its lines (CR LF, LF or CR end a line).
QStringList templateLines(const QString& text);

// Fills the template; `lines` must not hold more than kTableSize entries.
Output generate(const QStringList& lines, const Input& input);

// File names of the design templates (extension kept) and mail templates
// (every ".txt" removed), sorted by name so the order is stable.
QStringList listDesigns(const QString& folder);
QStringList listMailTemplates(const QString& folder);

// The decoration dialog's fragment; rgb is 0xRRGGBB.
QString decorationFragment(const QString& text, bool bold, bool italic, bool underline, unsigned int rgb, const QString& size);
QString colorText(unsigned int rgb);  // "#RRGGBB", upper case
QString linkFragment(const QString& url, const QString& name);

// The phrase and item lists: what "コピー" puts on the clipboard.
QString phraseClip(const QString& mark, const QString& line);  // ends with CR LF
QString itemClip(const QString& mark, const QString& line);

}  // namespace description
