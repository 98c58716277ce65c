#include "outbox/Secrets.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>
#include <QHash>
#include <QMutex>
#include <QPointer>
#include <memory>
#include <QTimer>

namespace secrets {

namespace {
const QString kService = QStringLiteral("ソラバコ");

QHash<QString, QString>& sitting() {
    static QHash<QString, QString> kept;
    return kept;
}
QMutex& sittingLock() {
    static QMutex lock;
    return lock;
}

// A keyring that did not answer once is not asked again this sitting: each later job would wait
// behind the one still open.
bool& stalled() {
    static bool s = false;
    return s;
}

struct Outcome {
    bool finished = false, ok = false;
    QString text;
    QString why;
};

// Runs a keychain job to its end. The job lives on the heap and deletes itself when the keyring
// answers, however late (an unlock prompt waits for the seller): nothing here is freed under it.
Outcome run(QKeychain::Job* job) {
    auto state = std::make_shared<Outcome>();
    if (stalled()) {
        delete job;
        state->why = QStringLiteral("キーリングが応答しませんでした。");
        return *state;
    }
    job->setAutoDelete(true);
    // Never a file of the library's own in place of the keyring.
    job->setInsecureFallback(false);
    QEventLoop loop;
    QPointer<QEventLoop> waiting(&loop);
    QObject::connect(job, &QKeychain::Job::finished, job, [state, waiting](QKeychain::Job* done) {
        state->finished = true;
        state->ok = done->error() == QKeychain::NoError;
        if (auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(done)) state->text = read->textData();
        if (!state->ok && done->error() != QKeychain::EntryNotFound)
            state->why = QStringLiteral("キーリングを使えませんでした（%1）。").arg(done->errorString());
        if (waiting) waiting->quit();
    });
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    job->start();
    if (!state->finished) loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!state->finished) {
        stalled() = true;
        state->why = QStringLiteral("キーリングが応答しませんでした。");
    }
    return *state;
}
}  // namespace

std::optional<QString> read(const QString& key, QString* why) {
    auto* job = new QKeychain::ReadPasswordJob(kService);
    job->setKey(key);
    const Outcome out = run(job);
    if (why) *why = out.why;
    if (out.ok) return out.text;
    QMutexLocker hold(&sittingLock());
    if (sitting().contains(key)) return sitting().value(key);
    return std::nullopt;
}

Kept store(const QString& key, const QString& password, QString* why) {
    auto* job = new QKeychain::WritePasswordJob(kService);
    job->setKey(key);
    job->setTextData(password);
    const Outcome out = run(job);
    if (why) *why = out.why;
    if (out.ok) {
        QMutexLocker hold(&sittingLock());
        sitting().remove(key);
        return Kept::Keyring;
    }
    keepForSitting(key, password);
    return Kept::ThisSitting;
}

bool forget(const QString& key) {
    {
        QMutexLocker hold(&sittingLock());
        sitting().remove(key);
    }
    auto* job = new QKeychain::DeletePasswordJob(kService);
    job->setKey(key);
    return run(job).ok;
}

void keepForSitting(const QString& key, const QString& password) {
    QMutexLocker hold(&sittingLock());
    sitting().insert(key, password);
}

}  // namespace secrets
