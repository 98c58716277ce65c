#pragma once

#include <QList>
#include <QString>
#include <optional>

// The seller's listing queue: saved listings (memory files) taken through
// the site's listing pages one after another, each up to the site's
// confirmation page, where the seller presses the site's final button. The
// queue is a file, so that a program closed or killed goes on where it was.
//
// Never twice: a row whose form was sent to the site is never entered again
// by the program, whatever happened after (it reaches 確認待ち and 出品済, or it
// is 要確認 for the seller to decide): the site's confirmation page may still
// arrive and be agreed to. Before the form is sent the site has nothing, so a
// row cut off on its way is simply waiting again.
namespace listingqueue {

enum class State {
    Waiting,         // 待機
    Entering,        // 入力中: on its way through the site's pages
    AtConfirmation,  // 確認待ち: the site's confirmation page, the seller's turn
    Listed,          // 出品済
    NeedsCheck,      // 要確認
};
QString stateText(State state);
std::optional<State> stateFromText(const QString& text);

struct Row {
    int id = 0;    // stays with the row however it moves
    QString file;  // the memory file
    QString title;
    QString category;  // the path as the site shows it
    int pictures = 0;
    State state = State::Waiting;
    QString auctionId;  // 出品済
    QString reason;     // 要確認: why, in the seller's words
    QString changed;    // when the state last changed (ISO time)
    QString record;     // 出品済: the folder of its listing record
    bool sent = false;  // 入力中: its form went to the site (on disk before it goes)
};

// What a memory file says of its listing (title, category, pictures), for its row.
struct Summary {
    bool readable = false;
    QString title;
    QString category;
    QString categoryAddress;
    QStringList pictures;
};
Summary summarize(const QString& memoryFile);

class Queue {
public:
    explicit Queue(const QString& path = QString());
    const QString& path() const { return m_path; }

    // A missing file is an empty queue; a damaged one (not JSON, or JSON of another
    // shape) is kept aside and said. The same row twice in the file is one row: a copy
    // that went further than the other makes it 要確認, never 待機.
    bool load(QString* problem);
    bool save(QString* problem = nullptr) const;

    const QList<Row>& rows() const { return m_rows; }
    const Row* row(int id) const;
    int indexOf(int id) const;

    // Adds memory files as waiting rows, in order; a file already waiting is not added twice.
    int add(const QStringList& files);
    // Moves a row up or down; false at the end.
    bool move(int id, int by);
    // Only a row that is not on its way can go.
    bool remove(int id);

    // The first waiting row not in `passedOver`; 0 when there is none.
    int nextWaiting(const QList<int>& passedOver = {}) const;

    // The transitions. Each refuses (false) a row that is not in the state it leaves:
    // begin() takes only a waiting row, so nothing reaches the site twice.
    bool begin(int id);
    // The form is about to go to the site: from here the row cannot wait again.
    bool formSent(int id);
    bool reachConfirmation(int id);
    bool listed(int id, const QString& auctionId, const QString& record);
    bool needsCheck(int id, const QString& reason);
    // Back to waiting: a row stopped on its way before its form was sent, or one the
    // seller looked at and put back (要確認 only by the seller's hand).
    bool backToWaiting(int id, bool sellersChoice = false);

    // After a stop that left a row on its way: 入力中 with its form not yet sent waits
    // again; one whose form was sent, and 確認待ち, are 要確認.
    int recover();

private:
    Row* find(int id);
    void mergeCopies();
    void touch(Row& row, State state);

    QString m_path;
    QList<Row> m_rows;
    int m_nextId = 1;
};

// The queue's file below the program folder.
QString queueFile();

// A free name beside `path` for a damaged file kept aside: one kept before is never replaced.
QString asideName(const QString& path);

}  // namespace listingqueue
