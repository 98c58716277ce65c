#pragma once

#include "DemoData.h"
#include "EucJp.h"
#include "Listing.h"
#include "Reply.h"

#include <QHash>
#include <QString>

// What the site needs from one request, taken out of the HTTP layer.
struct SiteRequest {
    bool post = false;
    QString path;
    eucjp::Form query;
    eucjp::Form form;  // the POST body, when it is a URL-encoded form
    QByteArray contentType;
    QByteArray body;
    QString session;  // value of the SIMSESSION cookie
    QString base;     // "http://host:port", from the Host header
    QString address;  // base, path and query as requested
};

// The simulated site: pages, sign-ins and the login service. The real site is
// spread over several hosts; here every page lives under its path on one host.
class AuctionSite {
public:
    Reply handle(const SiteRequest& request);

    // The open listings' figures stay as they are (benchmarks compare two scans).
    void setFrozen(bool frozen) { m_frozen = frozen; }

    // Forgets every sign-in and the failed-attempt count.
    void clearSessions();
    // Every current sign-in now asks for the password again.
    void expireSessions();
    // As if the last sign-ins had failed: the login page shows the image-number check.
    void forceChallenge();
    // Signs `account` in without the login pages: the Set-Cookie value for the
    // browser that asked, empty for an unknown account.
    // `persistent`: the cookie outlives the browser, as ログイン状態を保持 makes it.
    QByteArray signInDirectly(const QString& account, bool persistent = false);
    // Forms sent to the sign-in since the start or the last clearSessions().
    int signInAttempts() const { return m_signInAttempts; }
    // The last picture received by the upload page, for tests ("none" before any).
    QByteArray lastUploadSummary() const;
    // Every draft begun and every listing made from one, for tests: a listing sent twice shows
    // as a draft confirmed twice, a second listing of the same title, or a final press without a draft.
    QByteArray submissions() const;
    // A stricter upload page (tests): pictures over `bytes` are refused with the site's message.
    void setMaxImageBytes(qsizetype bytes) { m_maxImageBytes = bytes; }
    // The bytes of picture `index` (from 0) of a listing made, as the site stored them;
    // index -1 with no ID: the last picture received.
    QByteArray uploadedBytes(const QString& auctionId, int index) const;

    // An open listing's auction ends now: with a winner it joins the seller's closed
    // listings with a winner, without one it is gone. False for an unknown ID.
    bool endAuction(const QString& auctionId, const eucjp::Form& winner);
    // Many auctions of `account` end at once, each with a winner (tests, benchmarks): how many did.
    int endMany(const QString& account, int count);
    // A closed listing's winner is removed and the next bidder moved up (winner, name, mail,
    // address, price); false for an unknown ID or no winner given.
    bool replaceWinner(const QString& auctionId, const eucjp::Form& next);
    // Changes an open listing as a day of browsing would (title, price, bids, access, watch,
    // time left); false for an unknown ID or field.
    bool changeListing(const QString& auctionId, const eucjp::Form& fields);
    // A seller lists a new item (as if through the listing pages): it joins the end of their
    // open listings. False for an unknown account or an ID already in use.
    bool addListing(const QString& account, const eucjp::Form& fields);

    // Every feedback given, for tests: "AUCTION RATING COMMENT" a line each, in order.
    QByteArray feedbacks() const;

private:
    struct Session {
        QString account;
        bool expired = false;
    };

    Reply myStatus(const SiteRequest& request);
    Reply feedback(const SiteRequest& request);
    Reply submission(const SiteRequest& request, const Session& session);
    QList<demo::OpenListing>& sellingOf(const QString& account);
    QList<demo::ClosedListing>& closedOf(const QString& account);
    Reply itemPage(const QString& auctionId);
    Reply loginService(const SiteRequest& request);
    Reply signIn(const SiteRequest& request);
    Reply signOut(const SiteRequest& request);
    const Session* sessionOf(const SiteRequest& request) const;

    QHash<QString, Session> m_sessions;                   // by cookie value
    QHash<QString, listing::Draft> m_drafts;              // by cookie value: the listing being sent
    QHash<QString, QList<demo::OpenListing>> m_selling;   // by account, from the demo data on first use
    QHash<QString, QList<demo::ClosedListing>> m_closed;  // the same for the closed listings with a winner
    listing::Upload m_lastUpload;
    struct Submitted {
        int draft = 0;
        int confirmations = 0;
        QString auctionId;
        QString title;
        QList<listing::Upload> images;
    };
    QList<Submitted> m_submitted;
    int m_drafted = 0;
    qsizetype m_maxImageBytes = listing::kMaxImageBytes;
    int m_finishWithoutDraft = 0;
    int m_nextAuction = 900000001;
    QHash<QString, int> m_rounds;  // by account: looks at the open listings so far
    int m_failuresInARow = 0;
    int m_signInAttempts = 0;
    bool m_frozen = false;
    struct Feedback {
        QString auctionId, rating, comment;
    };
    QList<Feedback> m_feedbacks;
};
