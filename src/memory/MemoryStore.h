#pragma once

#include <QMap>
#include <QString>

#include "core/MemoryFiles.h"

class QWidget;
class UiServices;

// The memory files of a window: the key table applied to the window's
// controls, found by their object names.
class MemoryStore : public MemoryFiles {
public:
    MemoryStore(QWidget* window, UiServices& ui);

    // One read and one atomic write of the whole file; keys the table does
    // not name stay. On failure the old file is left byte for byte.
    bool SaveFile(const QString& path) override;
    // One read; each value applied as an ordinary change of its control. A
    // file that is missing or cannot be read changes nothing.
    bool ReadFile(const QString& path) override;

    // The controls' values as the table reads them (object name → value).
    QMap<QString, QString> controlValues() const;

private:
    QWidget* control(const QString& name) const;
    void apply(const QString& name, const QString& value) const;

    QWidget* m_window;
    UiServices& m_ui;
};
