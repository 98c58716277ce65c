#include "outbox/Secrets.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>
#include <QHash>
#include <QMutex>
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

// Runs a keychain job to its end (a keyring that does not answer in ten seconds counts as none).
bool run(QKeychain::Job& job, QString* why) {
    job.setAutoDelete(false);
    // Never a file of the library's own in place of the keyring.
    job.setInsecureFallback(false);
    QEventLoop loop;
    bool finished = false;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    job.start();
    if (!finished) loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!finished) {
        if (why) *why = QStringLiteral("キーリングが応答しませんでした。");
        return false;
    }
    if (job.error() == QKeychain::NoError) return true;
    if (why && job.error() != QKeychain::EntryNotFound)
        *why = QStringLiteral("キーリングを使えませんでした（%1）。").arg(job.errorString());
    return false;
}
}  // namespace

std::optional<QString> read(const QString& key, QString* why) {
    QKeychain::ReadPasswordJob job(kService);
    job.setKey(key);
    if (run(job, why)) return job.textData();
    QMutexLocker hold(&sittingLock());
    if (sitting().contains(key)) return sitting().value(key);
    return std::nullopt;
}

Kept store(const QString& key, const QString& password, QString* why) {
    QKeychain::WritePasswordJob job(kService);
    job.setKey(key);
    job.setTextData(password);
    if (run(job, why)) {
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
    QKeychain::DeletePasswordJob job(kService);
    job.setKey(key);
    return run(job, nullptr);
}

void keepForSitting(const QString& key, const QString& password) {
    QMutexLocker hold(&sittingLock());
    sitting().insert(key, password);
}

}  // namespace secrets
