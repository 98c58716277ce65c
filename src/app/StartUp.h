#pragma once

#include <QString>

class UiServices;

// What start-up does, step by step, as calls on an interface: the splash
// window drives the real program through it and tests record the order.
class StartUpSteps {
public:
    virtual ~StartUpSteps() = default;

    virtual QString setting(const QString& key) = 0;  // section 各種設定 of the settings file
    virtual bool isFirstStart() = 0;
    virtual void markStarted() = 0;
    virtual void showSettings() = 0;                 // modal
    virtual void showLogin() = 0;                    // modal
    virtual bool readFile(const QString& path) = 0;  // loads a memory file into the main window
    virtual void setCurrentPath(const QString& path) = 0;
    virtual void showSplash() = 0;
    virtual void setListDefaults() = 0;
    virtual void disableBrowserDrops() = 0;
    virtual void iniRe() = 0;
    virtual void navigateClosedListings() = 0;
    virtual void navigateSubmitStart() = 0;
    virtual void processEvents() = 0;
    virtual void ensureMainLoaded() = 0;
    virtual void setProgress(int value) = 0;
    virtual void finish() = 0;  // splash away, main window shown
};

namespace StartUp {

constexpr int kProgressMax = 1500;

inline const QString kFirstStartText =
    QStringLiteral("最初に初期設定を行って下さい。\r\n設定画面を立ち上げて宜しいですか?\r\n後で設定する場合は、[いいえ]を選択して下さい。");
inline const QString kFirstStartTitle = QStringLiteral("設定画面");

void run(StartUpSteps& steps, UiServices& ui);

// The per-user record that the program has started before.
bool isFirstStart();
void markStarted();

}  // namespace StartUp
