#pragma once

#include <QString>

class UiServices;

namespace mduInterFace {

constexpr int kBackspace = 8;
constexpr int kEnter = 13;
inline const QString kDigits = QStringLiteral("1234567890");

// Swallows (sets to 0) any key whose character is not in `allowed`; backspace always passes.
void Key_Filter(int& keyCode, const QString& allowed);

// 0: busy cursor on; 1: back to normal; anything else: nothing.
void Wait_Cursor(UiServices& ui, int mode);

// Length of the text in CP932 bytes (a double-byte character counts 2).
int Byte_Len(const QString& text);

// The reversible shift of stored login data: every character moves 10 down
// (Enc_Str) or up (Dec_Str) in CP932 code order. A character whose shifted
// code names no CP932 character (or that CP932 cannot hold at all) is kept
// as it is, so no other character is ever touched.
QString Enc_Str(const QString& text);
QString Dec_Str(const QString& text);

}  // namespace mduInterFace
