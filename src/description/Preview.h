#pragma once

#include <QString>

#include "description/Description.h"

// Generation from a template file to the preview file, with the checks the
// pane reports: the result is used only when the preview file was written,
// so a failure leaves the pane as it was.
namespace description {

struct PreviewOutcome {
    bool ok = false;
    QString message;  // why not, for the user
    Output output;
};

PreviewOutcome buildPreview(const QString& templatePath, const Input& input, const QString& previewPath);

// The shipping pane's preview: one line, the shipping table.
bool writeShippingPreview(const QString& html, const QString& previewPath);

// What the user is told when the preview file cannot be written.
QString cannotWriteMessage(const QString& previewPath);

inline const QString kCaption = QStringLiteral("出品フォーム作成");

}  // namespace description
