#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The site's listing form and the pages around it, by meaning: which element
// each field is, what kind, where the page shows it, and for a list the
// site's text of each of the program's entries; the continue button, the
// picture upload page and the confirmation page's final button.
namespace site {

enum class FieldKind {
    Check,   // a check box by id
    List,    // a select by id: its option by text
    Text,    // a text box by id
    Option,  // two radio buttons by name (items 0 and 1)
};

struct FormField {
    QString meaning;  // the definition's key: 数量, 期間, 送料負担 …
    FieldKind kind;
};
// Every field the program writes, in the form's order.
const QList<FormField>& formFields();
const FormField* formField(const QString& meaning);

QString fieldElement(const QString& meaning);
int fieldScroll(const QString& meaning);
// A list's texts, one per entry of the program's list, and the text standing for
// none chosen (empty: the list is left with nothing chosen).
QStringList fieldOptions(const QString& meaning);
QString fieldNoChoice(const QString& meaning);

QString continueButtonName();
QString continueButtonText();
int pageScroll();  // where every page of the flow is scrolled first

QString uploadPageTitle();
int uploadPageScroll();
QString uploadSelectButton();  // clicked first; the file field and the button follow by Tab
int tabsToFileField();
int tabsToUploadButton();

QString finalButtonText();  // the confirmation page's last button: the seller's to press
int finalButtonScroll();

// The form's own button that sends it on to the picture upload (by name).
QString formSendButton();
// What stands before the category's path on the category page ("選択中のカテゴリ:").
QString categoryPathLabel();
// The category's path as a page shows it after the label, from the page's text; empty without one.
QString categoryPathIn(const QString& pageText);

QString uploadedMark();   // the class of each picture the upload page lists as received
QString toConfirmLink();  // the id of the upload page's link to the confirmation
int maxPictures();
qint64 maxPictureBytes();
QString pictureRule();  // the site's own words for both limits

QString confirmPageTitle();
QString confirmTable();  // the id of the table of what the listing will be
QString finishedPageTitle();
QString auctionIdElement();  // the id of the element that shows the new auction ID

}  // namespace site
