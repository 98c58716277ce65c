#pragma once

#include <QList>
#include <QRect>
#include <optional>

class IniFile;

// Where the main window was when it last closed: its size and place as a
// normal window, and whether it was maximised. Kept in the settings file, in
// a section of its own.
namespace MainPlacement {

inline const QString kSection = QStringLiteral("メイン画面");

struct Placement {
    QRect normal;  // the window's own area (without the frame), in screen coordinates
    bool maximized = false;
};

// Nothing when the file has none (the first start) or what it has is no window.
std::optional<Placement> read(const IniFile& settings);
void write(IniFile& settings, const Placement& placement);

// The size a first start opens with, where the screen has room for it.
constexpr int kFirstWidth = 1180;
constexpr int kFirstHeight = 800;

}  // namespace MainPlacement
