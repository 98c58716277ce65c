#include "core/mduInterFace.h"

#include "core/UiServices.h"
#include "core/Cp932.h"

namespace mduInterFace {
namespace {

QString shift(const QString& text, int delta) {
    QString out;
    out.reserve(text.size());
    const QList<uint> codePoints = text.toUcs4();
    for (uint cp : codePoints) {
        const QString ch = QString::fromUcs4(reinterpret_cast<const char32_t*>(&cp), 1);
        int code = 0;
        QString shifted;
        if (cp932::ansiCode(ch, &code) && cp932::fromAnsiCode(code + delta, &shifted))
            out += shifted;
        else
            out += ch;
    }
    return out;
}

}  // namespace

void Key_Filter(int& keyCode, const QString& allowed) {
    if (keyCode == kBackspace) return;
    if (keyCode <= 0 || keyCode > 0xFFFF || !allowed.contains(QChar(keyCode))) keyCode = 0;
}

void Wait_Cursor(UiServices& ui, int mode) {
    if (mode == 0)
        ui.setBusy(true);
    else if (mode == 1)
        ui.setBusy(false);
}

int Byte_Len(const QString& text) { return static_cast<int>(cp932::encode(text).size()); }

QString Enc_Str(const QString& text) { return shift(text, -10); }

// Blanks only, as the stored form was written: a tab or newline is data.
QString Dec_Str(const QString& text) {
    int begin = 0;
    int end = static_cast<int>(text.size());
    while (begin < end && text.at(begin) == QLatin1Char(' ')) ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' ')) --end;
    return shift(text.mid(begin, end - begin), 10);
}

}  // namespace mduInterFace
