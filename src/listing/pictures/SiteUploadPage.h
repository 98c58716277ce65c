#pragma once

#include "listing/pictures/PictureUpload.h"

class Browser;

// The site's picture page as shown in the listing browser: files are chosen through the
// page's own file field, with keys sent to this browser's page only.
class SiteUploadPage : public UploadPage {
public:
    explicit SiteUploadPage(Browser* browser) : m_wb(browser) {}

    std::optional<int> uploadedCount() override;
    bool send(const QString& path) override;
    QString keep(const QString& problem) override;

private:
    Browser* m_wb;
};
