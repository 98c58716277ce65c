#pragma once

#include <functional>

class QDialog;
class QHBoxLayout;

// The row both fragment dialogs end with: "変換コピー" (Command2) runs
// `onCopy`, "キャンセル" (Command3) closes the dialog and leaves the clipboard.
QHBoxLayout* copyCancelRow(QDialog* dialog, const std::function<void()>& onCopy);
