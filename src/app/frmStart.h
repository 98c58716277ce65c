#pragma once

#include <QWidget>

#include <thread>

#include "app/StartUp.h"

class MemoryFiles;
class SplashBar;
class UiServices;
class fMain;

// The splash window. All start-up work runs here, in order; the main
// window is created on first need and handed over when start-up ends.
class frmStart : public QWidget, public StartUpSteps {
    Q_OBJECT
public:
    frmStart(UiServices& ui, MemoryFiles* memory);
    ~frmStart() override;

    void run();
    fMain* takeMain();
    SplashBar* pb() const { return m_pb; }

    QString setting(const QString& key) override;
    bool isFirstStart() override;
    void markStarted() override;
    void showSettings() override;
    void showLogin() override;
    bool readFile(const QString& path) override;
    void setCurrentPath(const QString& path) override;
    void showSplash() override;
    void setListDefaults() override;
    void disableBrowserDrops() override;
    void iniRe() override;
    void navigateClosedListings() override;
    void navigateSubmitStart() override;
    void processEvents() override;
    void ensureMainLoaded() override;
    void setProgress(int value) override;
    void finish() override;

private:
    fMain* main();
    void setAsideBrokenSettings();
    void loadSiteDefinition();

    UiServices& m_ui;
    MemoryFiles* m_memory;
    fMain* m_main = nullptr;
    SplashBar* m_pb = nullptr;
    std::thread m_fontLookup;
};
