// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/SequenceFile.h"

#include "core/AtomicFile.h"
#include "core/Errors.h"

#include <algorithm>
#include <vector>

namespace {

// File names and comments share the platform's file-name encoding.
QString Decode(QByteArrayView bytes) {
    return QString::fromLocal8Bit(bytes);
}

QByteArray Encode(const QString& text) {
    return text.toLocal8Bit();
}

QString DecodeComment(QByteArrayView bytes) {
    // A character takes at most 4 bytes, so the kept characters lie in the first 4 x limit bytes;
    // the rest of a huge comment is never decoded.
    QString text = Decode(bytes.first(std::min(bytes.size(), 4 * kMaxSequenceComment)));
    qsizetype chars = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (chars == kMaxSequenceComment) {
            text.truncate(i);
            break;
        }
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        ++chars;
    }
    return text;
}

[[noreturn]] void Fail(const QString& path, const QString& why) {
    throw ETaveluneError((path + QLatin1String(": ") + why).toStdString());
}

} // namespace

TSequenceEntry ParseSequenceLine(QByteArrayView line) {
    const qsizetype semi = line.indexOf(';');
    if (semi < 0) return TSequenceEntry{Decode(line), QString()};
    return TSequenceEntry{Decode(line.first(semi)), DecodeComment(line.sliced(semi + 1))};
}

void TSequenceReader::Deliver(QByteArrayView line) {
    if (line.endsWith('\r')) line.chop(1);
    m_sink(ParseSequenceLine(line));
}

void TSequenceReader::Feed(QByteArrayView bytes) {
    while (!bytes.isEmpty()) {
        const qsizetype lf = bytes.indexOf('\n');
        if (lf < 0) {
            m_pending.append(bytes);
            return;
        }
        if (m_pending.isEmpty()) {
            Deliver(bytes.first(lf));
        } else {
            m_pending.append(bytes.first(lf));
            Deliver(m_pending);
            m_pending.clear();
        }
        bytes = bytes.sliced(lf + 1);
    }
}

void TSequenceReader::Finish() {
    if (m_pending.isEmpty()) return;
    // No LF follows, so a final CR is an ordinary character of the line.
    m_sink(ParseSequenceLine(m_pending));
    m_pending.clear();
}

QList<TSequenceEntry> ParseSequence(QByteArrayView bytes) {
    QList<TSequenceEntry> entries;
    TSequenceReader reader([&entries](TSequenceEntry e) { entries.push_back(std::move(e)); });
    reader.Feed(bytes);
    reader.Finish();
    return entries;
}

QByteArray FormatSequence(const QList<TSequenceEntry>& entries) {
    QByteArray out;
    for (const TSequenceEntry& e : entries) {
        out += Encode(e.Path);
        out += ';';
        out += Encode(e.Comment);
        out += "\r\n";
    }
    return out;
}

TSequenceFileReader::TSequenceFileReader(const QString& path) : m_path(path), m_file(path) {
    if (!m_file.open(QIODevice::ReadOnly)) Fail(m_path, m_file.errorString());
}

void TSequenceFileReader::ReadAll(const std::function<void(TSequenceEntry)>& sink) {
    TSequenceReader reader(sink);
    std::vector<char> buffer(size_t(1) << 16);
    for (;;) {
        const qint64 n = m_file.read(buffer.data(), qint64(buffer.size()));
        if (n < 0) Fail(m_path, m_file.errorString());
        if (n == 0) break;
        reader.Feed(QByteArrayView(buffer.data(), qsizetype(n)));
    }
    reader.Finish();
}

void WriteSequenceFile(const QString& path, const QList<TSequenceEntry>& entries) {
    WriteFileAtomically(path, FormatSequence(entries));
}
