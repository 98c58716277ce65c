#include "listing/pictures/PictureUpload.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include "listing/pictures/Picture.h"
#include "site/ListingForm.h"

namespace {
// The site answers an upload with its page again; longer than this is no answer.
constexpr int kAnswerMs = 30000;
// A page that lists no new picture is the site's refusal once nothing else comes for this long.
constexpr int kRefusalMs = 2000;
}  // namespace

PictureUpload::PictureUpload(UploadPage& page, QObject* parent) : QObject(parent), m_page(page) {
    m_answer = new QTimer(this);
    m_answer->setSingleShot(true);
    m_refusal = new QTimer(this);
    m_refusal->setSingleShot(true);
    setWaits(kAnswerMs, kRefusalMs);
    connect(m_answer, &QTimer::timeout, this, [this] { end(QStringLiteral("画像のアップロードにサイトが応答しませんでした。")); });
    connect(m_refusal, &QTimer::timeout, this, [this] {
        if (!busy()) return;
        m_answer->stop();
        afterAnswer(true);
    });
}

PictureUpload::~PictureUpload() = default;

std::optional<QStringList> PictureUpload::prepare(const QStringList& sources, QThreadPool* pool, QString* problem) {
    m_copiesFolder = std::make_unique<QTemporaryDir>(QDir::temp().filePath(QStringLiteral("sorabako-pictures-XXXXXX")));
    m_preparing = true;
    const picture::PreparedAll made = picture::prepareAll(sources, m_copiesFolder->path(), pool);
    m_preparing = false;
    if (!made.problem.isEmpty()) {
        *problem = made.problem + QStringLiteral("\r\n画像は1枚もアップロードしていません。");
        return std::nullopt;
    }
    return made.paths;
}

void PictureUpload::setWaits(int answerMs, int refusalMs) {
    m_answer->setInterval(answerMs);
    m_refusal->setInterval(refusalMs);
}

QString PictureUpload::current() const { return QFileInfo(m_names.value(0)).fileName(); }

void PictureUpload::begin(const QStringList& copies, const QStringList& names) {
    if (busy() || copies.isEmpty()) return;
    m_copies = copies;
    m_names = names;
    sendNext();
}

void PictureUpload::sendNext() {
    const std::optional<int> count = m_page.uploadedCount();
    if (!count) {
        end(QStringLiteral("画像のアップロードのページが応答しませんでした。"));
        return;
    }
    m_countBefore = *count;
    if (!m_page.send(m_copies.first())) {
        end(QStringLiteral("「%1」を送れませんでした。ページに画像を選ぶ欄が見つかりません。").arg(current()));
        return;
    }
    m_answer->start();
}

void PictureUpload::pageFinished(bool uploadPageShown) {
    if (!busy()) return;
    m_answer->stop();
    if (!uploadPageShown) {
        end(QStringLiteral("「%1」のアップロードの後、画像のアップロードのページが表示されませんでした。").arg(current()));
        return;
    }
    m_refusal->stop();
    afterAnswer(false);
}

void PictureUpload::afterAnswer(bool waited) {
    const std::optional<int> count = m_page.uploadedCount();
    if (!count || *count <= m_countBefore) {
        // The page that took the file may finish once more before the site's answer comes:
        // a refusal is the site's answer only when no other page follows.
        if (!waited) {
            m_answer->start();
            m_refusal->start();
            return;
        }
        end(QStringLiteral("「%1」はサイトに受け付けられませんでした。\r\n").arg(current()) + site::pictureRule());
        return;
    }
    m_copies.removeFirst();
    m_names.removeFirst();
    if (!m_copies.isEmpty()) {
        sendNext();
        return;
    }
    end(QString());
}

void PictureUpload::end(const QString& problem) {
    m_answer->stop();
    m_refusal->stop();
    m_copies.clear();
    m_names.clear();
    Q_EMIT finished(problem.isEmpty() ? problem : problem + m_page.keep(problem));
}
