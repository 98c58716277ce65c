#pragma once

#include <QString>

// The postcode and the prefecture in a winner's reply, as pasted or typed: digits full- or
// half-width, with or without 〒 and the hyphen. The prefecture is the one named after the
// postcode (or first, without one); where none is named, the postcode's first digits say it.
namespace sales {

struct ReplyAddress {
    QString postcode;    // "123-4567"; empty when none was found
    QString prefecture;  // "東京都"; empty when neither a name nor a postcode says it
    QString how;         // how the prefecture was found, for the seller to check
};
ReplyAddress readReplyAddress(const QString& text);

// Full-width letters and digits, and the dashes people type between a number's parts (the
// long vowel mark among them), as plain ASCII.
QString asciiDigitsAndDashes(const QString& text);

// The prefecture a postcode's first digits belong to; empty when they say nothing.
QString prefectureOfPostcode(const QString& postcode);

}  // namespace sales
