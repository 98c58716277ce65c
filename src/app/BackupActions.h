#pragma once

class QWidget;
class UiServices;

// ファイル → バックアップ / バックアップから戻す, and putting a staged restore in place.
namespace BackupActions {

// Asks where, then writes the archive (the window waits with a progress note).
void takeBackup(UiServices& ui, QWidget* parent);

// Asks for an archive, checks it whole, lists what it would replace and, once the seller agrees,
// stages it. True when the program should now end so that the restore is put in place.
bool prepareRestore(UiServices& ui, QWidget* parent);

// The staged restore given up, and said, when the program was not ended after all.
void dropRestore(UiServices& ui, QWidget* parent);

// A staged restore put in place (at the end of the program, or at start after one was killed).
// Says what happened when `tell`.
void applyPending(UiServices& ui, bool tell);

}  // namespace BackupActions
