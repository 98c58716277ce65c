#include "description/Preview.h"

#include "core/Cp932.h"

#include <QFileInfo>

#include "core/TextFile.h"

namespace description {

PreviewOutcome buildPreview(const QString& templatePath, const Input& input, const QString& previewPath) {
    PreviewOutcome outcome;
    QString text;
    const TextFile::Read read = QFileInfo(templatePath).isDir() ? TextFile::Read::Missing : TextFile::readCp932Text(templatePath, &text);
    if (read == TextFile::Read::Missing) {
        outcome.message = QStringLiteral("デザインファイルが見つかりません。\r\n") + templatePath;
        return outcome;
    }
    if (read == TextFile::Read::NotText) {
        outcome.message = QStringLiteral("デザインファイルを読み込めませんでした。\r\n") + templatePath +
                          QStringLiteral("\r\nShift-JIS（CP932）のテキストファイルか確認して下さい。");
        return outcome;
    }
    const QStringList lines = templateLines(text);
    if (lines.size() > kTableSize) {
        outcome.message = QStringLiteral("デザインファイルの行数が多すぎます。(%1行まで)\r\n").arg(kTableSize) + templatePath;
        return outcome;
    }
    outcome.output = generate(lines, input);
    if (!TextFile::writeCp932Lines(previewPath, outcome.output.fileLines)) {
        outcome.message = cannotWriteMessage(previewPath);
        return outcome;
    }
    outcome.ok = true;
    return outcome;
}

QString cannotWriteMessage(const QString& previewPath) {
    return QStringLiteral("プレビューファイルを書き込めませんでした。\r\n") + previewPath +
           QStringLiteral("\r\nDATAフォルダを確認して下さい。");
}

bool writeShippingPreview(const QString& html, const QString& previewPath) {
    return TextFile::writeCp932Lines(previewPath, {cp932::escaped(html)});
}

}  // namespace description
