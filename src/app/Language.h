#pragma once

class QCoreApplication;

// Every text of the program is Japanese: Qt's own dialogs (files, colours,
// the standard buttons) are made to speak Japanese too, whatever the
// desktop's language. False when Qt's Japanese translation is not installed.
bool speakJapanese(QCoreApplication& app);
