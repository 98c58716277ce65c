#pragma once

#include <QString>
#include <QStringList>

// What the site's sign-in looks like: the login page's form and fields, the
// texts that mean a sign-in failed, and how a page asks for a sign-in.
namespace site {

struct LoginForm {
    QString form;        // the form's name
    QString id;          // the ID field's name
    QString password;    // the password field's name
    QString persistent;  // "stay signed in"
    QString button;      // the submit button's name
    QString buttonText;  // and what it reads
};
LoginForm loginForm();

// The login page's answer says the sign-in failed (a wrong password, the image-number check).
bool isFailurePage(const QString& bodyText);

// How many login prompts a closed-listings page calls for: one when the site
// asks for the password again (whatever buttons it shows), else one per login
// button; `buttonValues` are the values of the elements named as the login button.
int loginPrompts(const QString& bodyText, const QStringList& buttonValues);
QString closedListingsLoginButton();
QString passwordAgainText();

}  // namespace site
