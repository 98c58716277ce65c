#include "Faults.h"

std::optional<Fault> Fault::parse(const QString& kind) {
    if (kind == QLatin1String("stall")) return Fault{Kind::Stall};
    if (kind == QLatin1String("truncate")) return Fault{Kind::Truncate};
    if (kind == QLatin1String("garbage")) return Fault{Kind::Garbage};
    if (kind == QLatin1String("nocharset")) return Fault{Kind::NoCharset};
    if (kind == QLatin1String("wrongcharset")) return Fault{Kind::WrongCharset};
    if (kind == QLatin1String("endless")) return Fault{Kind::Endless};
    if (kind == QLatin1String("redirectloop")) return Fault{Kind::RedirectLoop};
    if (kind.startsWith(QLatin1String("status:"))) {
        bool ok = false;
        const int status = kind.mid(7).toInt(&ok);
        if (ok && status >= 100 && status <= 599) return Fault{Kind::Status, status};
    }
    return std::nullopt;
}

bool FaultTable::add(const QString& rule) {
    const qsizetype equals = rule.indexOf(QLatin1Char('='));
    return equals > 0 && add(rule.left(equals), rule.mid(equals + 1));
}

bool FaultTable::add(const QString& path, const QString& kind) {
    const std::optional<Fault> fault = Fault::parse(kind);
    if (!path.startsWith(QLatin1Char('/')) || !fault) return false;
    m_faults.insert(path, *fault);
    return true;
}

std::optional<Fault> FaultTable::find(const QString& path) const {
    const auto it = m_faults.constFind(path);
    return it == m_faults.constEnd() ? std::nullopt : std::optional<Fault>(*it);
}
