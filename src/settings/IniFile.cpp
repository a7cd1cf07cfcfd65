#include "settings/IniFile.h"

#include "core/AtomicFile.h"
#include "core/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Larger files are not settings files; reading them would only waste memory.
constexpr qint64 kMaxIniFileSize = qint64{64} << 20;

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

QString Decode(const QByteArray& text, bool first) {
    if (first && text.startsWith(kUtf8Bom)) return QString::fromUtf8(text.mid(kUtf8Bom.size()));
    return QString::fromUtf8(text);
}

// The section name of a header line "[name]", or nothing for any other line.
std::optional<QString> SectionName(const QString& line) {
    const QString t = line.trimmed();
    if (!t.startsWith(u'[')) return std::nullopt;
    const qsizetype close = t.indexOf(u']');
    return (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
}

bool IsBlank(const QByteArray& text) {
    return text.trimmed().isEmpty();
}

bool IsQuote(QChar c) {
    return c == u'"' || c == u'\'';
}

bool EnclosedInQuotes(const QString& v) {
    return v.size() >= 2 && IsQuote(v.front()) && v.back() == v.front();
}

// Quotes what reading would otherwise change: outer blanks or an enclosing pair of quotes.
QString EncodeValue(const QString& value) {
    if (value != value.trimmed() || EnclosedInQuotes(value)) return u'"' + value + u'"';
    return value;
}

bool FitsOnOneLine(const QString& value) {
    return !value.contains(u'\n') && !value.contains(u'\r') && !value.contains(QChar(0));
}

} // namespace

TIniFile TIniFile::FromBytes(const QByteArray& bytes) {
    TIniFile ini;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype nl = bytes.indexOf('\n', start);
        if (nl < 0) {
            ini.m_lines.push_back({bytes.mid(start), {}});
            break;
        }
        QByteArray text = bytes.mid(start, nl - start);
        QByteArray ending("\n");
        if (text.endsWith('\r')) {
            text.chop(1);
            ending = "\r\n";
        }
        ini.m_lines.push_back({std::move(text), std::move(ending)});
        start = nl + 1;
    }
    return ini;
}

bool TIniFile::LoadFromFile(const QString& path) {
    m_lines.clear();
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kMaxIniFileSize) return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.read(kMaxIniFileSize + 1);
    if (bytes.size() > kMaxIniFileSize || file.error() != QFileDevice::NoError) return false;
    *this = FromBytes(bytes);
    return true;
}

int TIniFile::FindSection(const QString& section) const {
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const auto name = SectionName(Decode(m_lines[i].text, i == 0));
        if (name && name->compare(section, Qt::CaseInsensitive) == 0) return int(i);
    }
    return -1;
}

// One past the last line of the section whose header is at the given line.
int TIniFile::SectionEnd(int header) const {
    int i = header + 1;
    while (i < int(m_lines.size()) && !SectionName(Decode(m_lines[i].text, false)))
        ++i;
    return i;
}

int TIniFile::FindKey(int header, const QString& key) const {
    const int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        const QString line = Decode(m_lines[i].text, false);
        const qsizetype eq = line.indexOf(u'=');
        if (eq >= 0 && line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0) return i;
    }
    return -1;
}

std::optional<QString> TIniFile::Read(const QString& section, const QString& key) const {
    const int header = FindSection(section);
    if (header < 0) return std::nullopt;
    const int at = FindKey(header, key);
    if (at < 0) return std::nullopt;
    const QString line = Decode(m_lines[at].text, false);
    QString value = line.mid(line.indexOf(u'=') + 1).trimmed();
    if (EnclosedInQuotes(value)) value = value.mid(1, value.size() - 2);
    if (value == QLatin1String(kMissingValue)) return std::nullopt;
    return value;
}

QByteArray TIniFile::NewLineEnding() const {
    for (const Line& l : m_lines)
        if (!l.ending.isEmpty()) return l.ending;
#ifdef Q_OS_WIN
    return "\r\n";
#else
    return "\n";
#endif
}

void TIniFile::EnsureEnding(int line) {
    if (m_lines[line].ending.isEmpty()) m_lines[line].ending = NewLineEnding();
}

bool TIniFile::Write(const QString& section, const QString& key, const QString& value) {
    if (!FitsOnOneLine(value)) return false;
    const QByteArray encoded = EncodeValue(value).toUtf8();
    int header = FindSection(section);
    if (header >= 0) {
        const int at = FindKey(header, key);
        if (at >= 0) {
            // Keep the key as the file spells it, and the blanks around "=".
            QByteArray& text = m_lines[at].text;
            qsizetype start = text.indexOf('=') + 1;
            while (start < text.size() && (text[start] == ' ' || text[start] == '\t'))
                ++start;
            text = text.left(start) + encoded;
            return true;
        }
    } else {
        if (!m_lines.empty()) {
            EnsureEnding(int(m_lines.size()) - 1);
            if (!IsBlank(m_lines.back().text)) m_lines.push_back({{}, NewLineEnding()});
        }
        m_lines.push_back({'[' + section.toUtf8() + ']', NewLineEnding()});
        header = int(m_lines.size()) - 1;
    }
    int last = SectionEnd(header) - 1;
    while (last > header && IsBlank(m_lines[last].text))
        --last;
    EnsureEnding(last);
    m_lines.insert(m_lines.begin() + last + 1, Line{key.toUtf8() + '=' + encoded, NewLineEnding()});
    return true;
}

QByteArray TIniFile::ToBytes() const {
    QByteArray out;
    for (const Line& l : m_lines)
        out += l.text + l.ending;
    return out;
}

void TIniFile::SaveToFile(const QString& path) const {
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        throw ETaveluneError("cannot create folder " + info.absolutePath().toStdString());
    WriteFileAtomically(path, ToBytes());
}
