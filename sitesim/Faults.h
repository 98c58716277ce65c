#pragma once

#include <QHash>
#include <QString>

#include <optional>

// A misbehaviour injected on one path, so that tests can see how the program
// copes with a failing site.
struct Fault {
    enum class Kind {
        Status,        // answers `status` with a short page
        Stall,         // never answers; the connection stays open
        Truncate,      // sends half the page and closes, short of its Content-Length
        Garbage,       // 200 with random bytes labelled as an EUC-JP page
        NoCharset,     // the real page, its HTTP header naming no charset (the page's <meta> still does)
        WrongCharset,  // the real page (EUC-JP bytes) declared as Shift_JIS in the HTTP header
        Endless,       // 200 and an HTML page that never ends, as fast as the client takes it
        RedirectLoop,  // 302 back to the same address, for ever
    };
    Kind kind = Kind::Status;
    int status = 0;

    // "status:NNN", "stall", "truncate", "garbage", "nocharset", "wrongcharset", "endless" or "redirectloop".
    static std::optional<Fault> parse(const QString& kind);
};

// Faults by exact request path (without the query).
class FaultTable {
public:
    // "PATH=KIND" as given on the command line.
    bool add(const QString& rule);
    bool add(const QString& path, const QString& kind);
    std::optional<Fault> find(const QString& path) const;
    void clear() { m_faults.clear(); }

private:
    QHash<QString, Fault> m_faults;
};
