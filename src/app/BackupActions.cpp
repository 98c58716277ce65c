#include "app/BackupActions.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QThread>
#include <atomic>

#include "backup/Backup.h"
#include "core/ProgramFolder.h"
#include "core/UiServices.h"
#include "core/WaitFor.h"

namespace BackupActions {

namespace {
const QString kBackup = QStringLiteral("バックアップ");
const QString kRestore = QStringLiteral("バックアップから戻す");

// Runs `work` on a thread of its own while the window shows that it waits; the seller's
// input is held back meanwhile (the archive must not change under it).
void withProgress(const QString& text, QWidget* parent, const std::function<void()>& work) {
    QProgressDialog progress(text, QString(), 0, 0, parent);
    progress.setWindowTitle(kBackup);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    std::atomic<bool> done{false};
    QThread* thread = QThread::create([&] {
        work();
        done = true;
    });
    thread->start();
    waitFor([&] { return done.load(); }, -1);
    thread->wait();
    delete thread;
}
}  // namespace

void takeBackup(UiServices& ui, QWidget* parent) {
    QString start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (start.isEmpty() || !QFileInfo(start).isDir()) start = QDir::homePath();
    QString path = ui.saveFileName(QDir(start).filePath(backup::suggestedName(QDateTime::currentDateTime())),
                                   QStringLiteral("zipファイル(*.ZIP)|*.zip"), parent);
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive)) path += QStringLiteral(".zip");
    // Inside the program folder the archive would take itself into the next backup.
    const QString root = QFileInfo(ProgramFolder::root()).canonicalFilePath() + QLatin1Char('/');
    if (QString(QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath() + QLatin1Char('/')).startsWith(root)) {
        ui.message(QStringLiteral("バックアップはソラバコのフォルダの外に保存して下さい。\r\n") + path, kBackup, UiServices::Icon::Warning,
                   UiServices::Buttons::Ok, parent);
        return;
    }
    bool ok = false;
    QString problem;
    withProgress(QStringLiteral("バックアップを作っています..."), parent,
                 [&] { ok = backup::make(ProgramFolder::root(), path, &problem); });
    if (ok)
        ui.message(QStringLiteral("バックアップを作りました。\r\n") + path, kBackup, UiServices::Icon::Information, UiServices::Buttons::Ok,
                   parent);
    else
        ui.message(QStringLiteral("バックアップを作れませんでした。\r\n") + problem + QStringLiteral("\r\n") + path, kBackup,
                   UiServices::Icon::Critical, UiServices::Buttons::Ok, parent);
}

bool prepareRestore(UiServices& ui, QWidget* parent) {
    const QString path = ui.openFileName(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
                                         QStringLiteral("zipファイル(*.ZIP)|*.zip"), parent);
    if (path.isEmpty()) return false;
    backup::Contents contents;
    withProgress(QStringLiteral("バックアップを確かめています..."), parent, [&] { contents = backup::inspect(path); });
    if (!contents.problem.isEmpty()) {
        ui.message(
            QStringLiteral("このファイルからは戻せません。何も変えていません。\r\n") + contents.problem + QStringLiteral("\r\n") + path,
            kRestore, UiServices::Icon::Critical, UiServices::Buttons::Ok, parent);
        return false;
    }
    const QStringList replaced = backup::replaced(contents, ProgramFolder::root());
    QStringList shown = replaced.mid(0, 20);
    if (replaced.size() > shown.size()) shown << QStringLiteral("…ほか %1件").arg(replaced.size() - shown.size());
    const QString question =
        QStringLiteral("%1 に作ったバックアップから、%2件のファイルを戻します。\r\n").arg(contents.madeAt).arg(contents.files.size()) +
        (replaced.isEmpty()
             ? QStringLiteral("置き換えるファイルはありません。\r\n")
             : QStringLiteral("次の%1件は置き換えます（今のファイルは「退避」フォルダに移します）。\r\n\r\n").arg(replaced.size()) +
                   shown.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")) +
        QStringLiteral("\r\nソラバコを終了してから戻します。よろしいですか？");
    if (ui.message(question, kRestore, UiServices::Icon::Question, UiServices::Buttons::YesNo, parent) != UiServices::Answer::Yes)
        return false;
    bool ok = false;
    QString problem;
    withProgress(QStringLiteral("戻す準備をしています..."), parent, [&] { ok = backup::stage(path, ProgramFolder::root(), &problem); });
    if (!ok) {
        ui.message(QStringLiteral("戻せませんでした。何も変えていません。\r\n") + problem, kRestore, UiServices::Icon::Critical,
                   UiServices::Buttons::Ok, parent);
        return false;
    }
    ui.message(QStringLiteral("ソラバコを終了して、バックアップの内容に戻します。\r\nもう一度起動すると、戻した内容で始まります。"),
               kRestore, UiServices::Icon::Information, UiServices::Buttons::Ok, parent);
    return true;
}

void dropRestore(UiServices& ui, QWidget* parent) {
    backup::dropStaged(ProgramFolder::root());
    ui.message(QStringLiteral("ソラバコを終了しなかったので、バックアップから戻すのをやめました。"), kRestore,
               UiServices::Icon::Information, UiServices::Buttons::Ok, parent);
}

void applyPending(UiServices& ui, bool tell) {
    if (!backup::hasStaged(ProgramFolder::root())) return;
    QString aside, problem;
    if (!backup::applyStaged(ProgramFolder::root(), &aside, &problem)) {
        // What was moved stays moved (the files replaced are in the folder kept aside); the seller
        // chooses between another try at the next start and leaving it here.
        if (ui.message(
                QStringLiteral("バックアップから戻しきれませんでした。\r\n") + problem +
                    QStringLiteral(
                        "\r\n\r\n次の起動でもう一度戻しますか？\r\n「いいえ」で戻すのをやめます。置き換えたファイルは次のフォルダにあります。\r\n") +
                    aside,
                kRestore, UiServices::Icon::Critical, UiServices::Buttons::YesNo, nullptr) == UiServices::Answer::No)
            backup::dropStaged(ProgramFolder::root());
    } else if (tell)
        ui.message(QStringLiteral("バックアップから戻しました。\r\n戻す前のファイルは次のフォルダにあります。\r\n") + aside, kRestore,
                   UiServices::Icon::Information, UiServices::Buttons::Ok, nullptr);
}

}  // namespace BackupActions
