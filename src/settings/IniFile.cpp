#include "settings/IniFile.h"

#include "core/FileLock.h"
#include "core/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/Cp932.h"

namespace {
const QByteArray kCrLf("\r\n");

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

QString trimmedBlanks(const QString& s) {
    int begin = 0, end = static_cast<int>(s.size());
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (begin < end && blank(s.at(begin))) ++begin;
    while (end > begin && blank(s.at(end - 1))) --end;
    return s.mid(begin, end - begin);
}
}  // namespace

IniFile::IniFile(const QString& path) : m_path(path) {}

IniFile IniFile::load(const QString& path) {
    IniFile file(path);
    QFile f(path);
    // A pipe or a device named where a file should be would keep the reader waiting forever.
    if (QFileInfo(path).isFile() && f.open(QIODevice::ReadOnly))
        file.parse(f.readAll());
    else
        file.m_unreadable = f.exists();
    return file;
}

IniFile IniFile::fromBytes(const QString& path, const QByteArray& bytes) {
    IniFile file(path);
    file.parse(bytes);
    return file;
}

void IniFile::parse(const QByteArray& bytes) {
    m_lines.clear();
    // An editor may have saved the file with a UTF-8 byte-order mark. Those
    // three bytes are never CP932 text; kept, they would hide the first
    // section header. The file is written back without them (all of them: an
    // editor that added one each time leaves several).
    QByteArray data = bytes;
    while (data.startsWith("\xEF\xBB\xBF")) data.remove(0, 3);
    qsizetype pos = 0;
    const qsizetype size = data.size();
    while (pos < size) {
        qsizetype end = pos;
        while (end < size && data.at(end) != '\r' && data.at(end) != '\n') ++end;
        Line line;
        line.raw = data.mid(pos, end - pos);
        if (end < size) {
            const bool crlf = data.at(end) == '\r' && end + 1 < size && data.at(end + 1) == '\n';
            line.eol = data.mid(end, crlf ? 2 : 1);
            end += line.eol.size();
        }
        m_lines.append(line);
        pos = end;
    }
    // CP932 trail bytes never take the values of CR or LF, so a line of bytes
    // is a line of text. Decoding the file once is much cheaper than per line.
    QByteArray joined;
    joined.reserve(size);
    for (const Line& line : m_lines) joined += line.raw + '\n';
    const QStringList texts = cp932::decode(joined).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < m_lines.size(); ++i) classify(m_lines[i], i < texts.size() ? texts.at(i) : cp932::decode(m_lines[i].raw));
}

void IniFile::classify(Line& line, const QString& text) {
    const QString t = trimmedBlanks(text);
    if (t.startsWith(QLatin1Char('['))) {
        const qsizetype close = t.indexOf(QLatin1Char(']'));
        if (close > 0) {
            line.kind = Kind::Section;
            line.name = trimmedBlanks(t.mid(1, close - 1));
            return;
        }
    }
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq > 0) {
        line.kind = Kind::Key;
        line.name = trimmedBlanks(t.left(eq));
        line.value = trimmedBlanks(t.mid(eq + 1));
        return;
    }
    line.kind = Kind::Other;
}

int IniFile::findSection(const QString& section) const {
    for (int i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].kind == Kind::Section && sameName(m_lines[i].name, section)) return i;
    return -1;
}

int IniFile::sectionEnd(int header) const {
    int i = header + 1;
    while (i < m_lines.size() && m_lines[i].kind != Kind::Section) ++i;
    return i;
}

QString IniFile::value(const QString& section, const QString& key, bool* found) const {
    if (found) *found = false;
    const int header = findSection(section);
    if (header < 0) return QString();
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const Line& line = m_lines[i];
        if (line.kind == Kind::Key && sameName(line.name, key)) {
            if (found) *found = !line.value.isEmpty();
            return line.value;
        }
    }
    return QString();
}

bool IniFile::hasKey(const QString& section, const QString& key) const {
    const int header = findSection(section);
    if (header < 0) return false;
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i)
        if (m_lines[i].kind == Kind::Key && sameName(m_lines[i].name, key)) return true;
    return false;
}

IniFile::Line IniFile::makeLine(const QString& text) {
    Line line;
    line.raw = cp932::encode(text, &m_lost);
    line.eol = kCrLf;
    // What the file will hold, not what was asked for: a character CP932 cannot hold reads
    // back as "?", here as after the next load.
    classify(line, cp932::decode(line.raw));
    return line;
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value) {
    // A name the format cannot hold would write other sections and keys into the file.
    const auto breaksLine = [](const QString& name) { return name.contains(QLatin1Char('\r')) || name.contains(QLatin1Char('\n')); };
    if (section.trimmed().isEmpty() || key.trimmed().isEmpty() || breaksLine(section) || breaksLine(key) ||
        section.contains(QLatin1Char(']')) || key.contains(QLatin1Char('=')))
        return;
    QString oneLine = value;
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    Line keyLine = makeLine(key + QLatin1Char('=') + oneLine);

    // A last line without a line end must get one before anything follows it.
    auto terminateLast = [this](int index) {
        if (index >= 0 && index < m_lines.size() && m_lines[index].eol.isEmpty()) m_lines[index].eol = kCrLf;
    };

    const int header = findSection(section);
    if (header < 0) {
        terminateLast(static_cast<int>(m_lines.size()) - 1);
        m_lines.append(makeLine(QLatin1Char('[') + section + QLatin1Char(']')));
        m_lines.append(keyLine);
        return;
    }
    const int end = sectionEnd(header);
    int lastKey = header;
    for (int i = header + 1; i < end; ++i) {
        Line& line = m_lines[i];
        if (line.kind != Kind::Key) continue;
        if (sameName(line.name, key)) {
            if (line.value == keyLine.value) return;  // unchanged: the seller's spelling of the line stays
            keyLine.eol = line.eol;
            line = keyLine;
            return;
        }
        lastKey = i;
    }
    terminateLast(lastKey);
    m_lines.insert(lastKey + 1, keyLine);
}

QByteArray IniFile::toBytes() const {
    QByteArray out;
    for (const Line& line : m_lines) out += line.raw + line.eol;
    return out;
}

bool IniFile::save() const {
    if (m_unreadable) return false;
    const QFileInfo info(m_path);
    if (info.exists() && (info.isDir() || !(QFile::permissions(m_path) & QFileDevice::WriteOwner))) return false;
    return TextFile::writeBytes(m_path, toBytes(), m_ownerOnly);
}

QString IniFile::read(const QString& path, const QString& section, const QString& key, bool* found) {
    return load(path).value(section, key, found);
}

QString IniFile::lockPathFor(const QString& path) {
    const QFileInfo info(path);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".lock");
}

bool IniFile::update(const QString& path, const std::function<void(IniFile&)>& change, bool ownerOnly) {
    if (!QFileInfo(path).absoluteDir().exists()) return false;
    const FileLock lock(lockPathFor(path));
    // A folder where no lock file can be made takes no file either; a lock another
    // program keeps for seconds is no write of ours to wait for.
    if (!lock.isLocked()) return false;
    IniFile file = load(path);
    file.setOwnerOnly(ownerOnly);
    const QByteArray before = file.toBytes();
    change(file);
    if (file.toBytes() == before && QFileInfo::exists(path)) return !file.m_unreadable;
    return file.save();
}

bool IniFile::write(const QString& path, const QString& section, const QString& key, const QString& value, bool ownerOnly) {
    IniFile file = load(path);
    file.setOwnerOnly(ownerOnly);
    file.setValue(section, key, value);
    return file.save();
}
