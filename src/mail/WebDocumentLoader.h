#pragma once

#include "mail/mInterNet.h"

// Doc_Load on the web engine: a hidden page in the browsers' shared profile
// (so it carries their sign-in), awaited with the event loop running.
class WebDocumentLoader : public mInterNet::DocumentLoader {
public:
    std::optional<mInterNet::Document> Doc_Load(const QString& address, int timeoutSeconds) override;

    static constexpr int kPollMs = 100;
};
