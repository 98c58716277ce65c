#include "listing/queue/ListingQueue.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "core/Cp932.h"
#include "core/ProgramFolder.h"
#include "core/TextFile.h"
#include "settings/IniFile.h"

namespace listingqueue {

namespace {
const QList<QPair<State, QString>>& names() {
    static const QList<QPair<State, QString>> list{{State::Waiting, QStringLiteral("待機")},
                                                   {State::Entering, QStringLiteral("入力中")},
                                                   {State::AtConfirmation, QStringLiteral("確認待ち")},
                                                   {State::Listed, QStringLiteral("出品済")},
                                                   {State::NeedsCheck, QStringLiteral("要確認")}};
    return list;
}

// The memory file's own section names: the queue reads a file as the program writes it.
const QString kListingSection = QStringLiteral("出品手続");
const QString kCategorySection = QStringLiteral("出品カテゴリと画像");
}  // namespace

QString stateText(State state) {
    for (const auto& [s, text] : names())
        if (s == state) return text;
    return QString();
}

std::optional<State> stateFromText(const QString& text) {
    for (const auto& [s, name] : names())
        if (name == text) return s;
    return std::nullopt;
}

Summary summarize(const QString& memoryFile) {
    Summary s;
    if (!QFileInfo(memoryFile).isFile()) return s;
    const IniFile file = IniFile::load(memoryFile);
    s.readable = file.hasSection(kListingSection) || file.hasSection(kCategorySection);
    // Characters the file could not hold are kept there as references: the row shows them as typed.
    s.title = cp932::unescaped(file.value(kListingSection, QStringLiteral("タイトル")));
    s.category = cp932::unescaped(file.value(kCategorySection, QStringLiteral("カテゴリ")));
    s.categoryAddress = cp932::unescaped(file.value(kCategorySection, QStringLiteral("カテゴリのアドレス")));
    for (const char* key : {"画像1", "画像2", "画像3"}) {
        const QString p = cp932::unescaped(file.value(kCategorySection, QString::fromUtf8(key)));
        if (!p.isEmpty()) s.pictures << p;
    }
    return s;
}

Queue::Queue(const QString& path) : m_path(path) {}

namespace {
// The shape this program writes: {"rows": [{"id": n, "file": "...", "state": "...", ...}]}.
// Anything else is no queue of ours, however valid its JSON.
bool isQueueShape(const QJsonDocument& doc) {
    if (!doc.isObject() || !doc.object().value(QStringLiteral("rows")).isArray()) return false;
    for (const QJsonValue& v : doc.object().value(QStringLiteral("rows")).toArray()) {
        if (!v.isObject()) return false;
        const QJsonObject o = v.toObject();
        if (!o.value(QStringLiteral("id")).isDouble() || !o.value(QStringLiteral("state")).isString()) return false;
        if (o.value(QStringLiteral("file")).toString().isEmpty()) return false;
    }
    return true;
}

// How far a row went; a copy in the file is judged by the furthest.
int progress(const Row& r) {
    switch (r.state) {
        case State::Waiting: return 0;
        case State::Entering: return r.sent ? 2 : 1;
        case State::AtConfirmation:
        case State::NeedsCheck: return 3;
        case State::Listed: return 4;
    }
    return 3;
}

bool pastForm(const Row& r) { return progress(r) >= 2; }

const QString kCopyReason =
    QStringLiteral("出品キューのファイルに同じ行が重なっていました。出品されたかをサイトの出品中の一覧で確かめて下さい。");
}  // namespace

bool Queue::load(QString* problem) {
    m_rows.clear();
    m_nextId = 1;
    QFile f(m_path);
    if (!f.exists()) return true;
    if (!QFileInfo(m_path).isFile() || !f.open(QIODevice::ReadOnly)) {
        if (problem) *problem = QStringLiteral("出品キューのファイルを読み込めませんでした。\r\n") + m_path;
        return false;
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &error);
    f.close();
    if (error.error != QJsonParseError::NoError || !isQueueShape(doc)) {
        // Kept for the seller to look at; the queue starts empty rather than guess.
        const QString aside = asideName(m_path);
        const bool kept = QFile::rename(m_path, aside);
        if (problem)
            *problem =
                kept ? QStringLiteral(
                           "出品キューのファイルが壊れていたため、空の出品キューで始めます。\r\n元のファイルは次の名前で残しました。\r\n") +
                           aside
                     : QStringLiteral("出品キューのファイルが壊れていて、別の名前で残すこともできませんでした。\r\n") + m_path;
        return false;
    }
    QList<int> readIds;
    for (const QJsonValue& v : doc.object().value(QStringLiteral("rows")).toArray()) {
        const QJsonObject o = v.toObject();
        Row r;
        r.id = o.value(QStringLiteral("id")).toInt();
        r.file = o.value(QStringLiteral("file")).toString();
        r.title = o.value(QStringLiteral("title")).toString();
        r.category = o.value(QStringLiteral("category")).toString();
        r.pictures = o.value(QStringLiteral("pictures")).toInt();
        // A state this program does not know is no state to enter the site from.
        const std::optional<State> state = stateFromText(o.value(QStringLiteral("state")).toString());
        r.state = state.value_or(State::NeedsCheck);
        r.auctionId = o.value(QStringLiteral("auction")).toString();
        r.reason =
            state ? o.value(QStringLiteral("reason")).toString() : QStringLiteral("出品キューのファイルに読めない状態がありました。");
        r.changed = o.value(QStringLiteral("changed")).toString();
        r.record = o.value(QStringLiteral("record")).toString();
        r.sent = r.state == State::Entering && o.value(QStringLiteral("sent")).toBool();
        // The same row written twice is one row, however far each copy says it went.
        bool copy = false;
        for (int i = 0; i < m_rows.size() && !copy; ++i) {
            if (readIds[i] != r.id || m_rows[i].file != r.file) continue;
            copy = true;
            Row& kept = m_rows[i];
            if (kept.state == r.state && kept.sent == r.sent) continue;
            if (r.state == State::Listed) {
                const int id = kept.id;
                kept = r;
                kept.id = id;
            } else if (kept.state != State::Listed && (pastForm(kept) || pastForm(r))) {
                kept.reason = kCopyReason;
                kept.sent = false;
                touch(kept, State::NeedsCheck);
            } else if (progress(r) > progress(kept)) {
                kept.state = r.state;
                kept.sent = r.sent;
            }
        }
        if (copy) continue;
        readIds << r.id;
        if (r.id <= 0 || row(r.id)) r.id = m_nextId;
        m_nextId = qMax(m_nextId, r.id + 1);
        m_rows << r;
    }
    mergeCopies();
    return true;
}

// Only one row is ever on its way: another row of the same memory file that has not gone
// past its form, beside one that has and is not yet settled, can only be a copy of it.
void Queue::mergeCopies() {
    for (const Row& onWay : m_rows) {
        if (!(pastForm(onWay) && (onWay.state == State::Entering || onWay.state == State::AtConfirmation))) continue;
        for (Row& other : m_rows) {
            if (&other == &onWay || other.file != onWay.file || pastForm(other)) continue;
            other.reason = kCopyReason;
            touch(other, State::NeedsCheck);
        }
    }
}

bool Queue::save(QString* problem) const {
    QJsonArray rows;
    for (const Row& r : m_rows)
        rows.append(QJsonObject{{QStringLiteral("id"), r.id},
                                {QStringLiteral("file"), r.file},
                                {QStringLiteral("title"), r.title},
                                {QStringLiteral("category"), r.category},
                                {QStringLiteral("pictures"), r.pictures},
                                {QStringLiteral("state"), stateText(r.state)},
                                {QStringLiteral("auction"), r.auctionId},
                                {QStringLiteral("reason"), r.reason},
                                {QStringLiteral("changed"), r.changed},
                                {QStringLiteral("record"), r.record},
                                {QStringLiteral("sent"), r.sent}});
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    if (TextFile::writeBytes(m_path, QJsonDocument(QJsonObject{{QStringLiteral("rows"), rows}}).toJson())) return true;
    if (problem)
        *problem = QStringLiteral("出品キューを保存できませんでした。\r\n") + m_path +
                   QStringLiteral("\r\nディスクの空きと、書き込みできるかを確認して下さい。");
    return false;
}

const Row* Queue::row(int id) const {
    for (const Row& r : m_rows)
        if (r.id == id) return &r;
    return nullptr;
}

Row* Queue::find(int id) {
    for (Row& r : m_rows)
        if (r.id == id) return &r;
    return nullptr;
}

int Queue::indexOf(int id) const {
    for (int i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].id == id) return i;
    return -1;
}

int Queue::add(const QStringList& files) {
    int added = 0;
    for (const QString& file : files) {
        const QString path = QFileInfo(file).absoluteFilePath();
        bool waiting = false;
        for (const Row& r : m_rows) waiting = waiting || (r.file == path && r.state == State::Waiting);
        if (waiting) continue;
        Row r;
        r.id = m_nextId++;
        r.file = path;
        const Summary s = summarize(path);
        r.title = s.title.isEmpty() ? QFileInfo(path).completeBaseName() : s.title;
        r.category = s.category;
        r.pictures = static_cast<int>(s.pictures.size());
        touch(r, State::Waiting);
        m_rows << r;
        ++added;
    }
    return added;
}

bool Queue::move(int id, int by) {
    const int at = indexOf(id);
    const int to = at + by;
    if (at < 0 || to < 0 || to >= m_rows.size()) return false;
    m_rows.move(at, to);
    return true;
}

bool Queue::remove(int id) {
    const int at = indexOf(id);
    if (at < 0) return false;
    const State s = m_rows[at].state;
    if (s == State::Entering || s == State::AtConfirmation) return false;
    m_rows.removeAt(at);
    return true;
}

int Queue::nextWaiting(const QList<int>& passedOver) const {
    for (const Row& r : m_rows)
        if (r.state == State::Waiting && !passedOver.contains(r.id)) return r.id;
    return 0;
}

void Queue::touch(Row& row, State state) {
    row.state = state;
    row.changed = QDateTime::currentDateTime().toString(Qt::ISODate);
}

bool Queue::begin(int id) {
    Row* r = find(id);
    if (!r || r->state != State::Waiting) return false;
    r->reason.clear();
    r->sent = false;
    touch(*r, State::Entering);
    return true;
}

bool Queue::formSent(int id) {
    Row* r = find(id);
    if (!r || r->state != State::Entering || r->sent) return false;
    r->sent = true;
    return true;
}

bool Queue::reachConfirmation(int id) {
    Row* r = find(id);
    if (!r || r->state != State::Entering) return false;
    r->sent = false;  // the state says more now
    touch(*r, State::AtConfirmation);
    return true;
}

bool Queue::listed(int id, const QString& auctionId, const QString& record) {
    Row* r = find(id);
    if (!r || r->state != State::AtConfirmation) return false;
    r->auctionId = auctionId;
    r->record = record;
    r->reason.clear();
    touch(*r, State::Listed);
    return true;
}

bool Queue::needsCheck(int id, const QString& reason) {
    Row* r = find(id);
    if (!r || (r->state != State::Entering && r->state != State::AtConfirmation)) return false;
    r->reason = reason;
    r->sent = false;
    touch(*r, State::NeedsCheck);
    return true;
}

bool Queue::backToWaiting(int id, bool sellersChoice) {
    Row* r = find(id);
    if (!r) return false;
    if (!((r->state == State::Entering && !r->sent) || (sellersChoice && r->state == State::NeedsCheck))) return false;
    r->reason.clear();
    r->sent = false;
    touch(*r, State::Waiting);
    return true;
}

int Queue::recover() {
    int changed = 0;
    for (Row& r : m_rows) {
        if (r.state == State::Entering && r.sent) {
            r.reason =
                QStringLiteral("出品フォームを送信した後にソラバコが終了しました。出品されたかをサイトの出品中の一覧で確かめて下さい。");
            r.sent = false;
            touch(r, State::NeedsCheck);
            ++changed;
        } else if (r.state == State::Entering) {
            touch(r, State::Waiting);
            ++changed;
        } else if (r.state == State::AtConfirmation) {
            r.reason = QStringLiteral("確認画面を表示したままソラバコが終了しました。出品されたかをサイトの出品中の一覧で確かめて下さい。");
            touch(r, State::NeedsCheck);
            ++changed;
        }
    }
    return changed;
}

QString asideName(const QString& path) {
    const QString base = path + QStringLiteral(".壊れていたファイル");
    QString name = base;
    for (int n = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n) name = base + QStringLiteral("%1").arg(n);
    return name;
}

QString queueFile() { return QDir(ProgramFolder::data()).filePath(QStringLiteral("出品キュー.json")); }

}  // namespace listingqueue
