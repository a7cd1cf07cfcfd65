// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Sequence files (".stl"): one line per image, "path;comment", each line ended by CR LF, in the
// 8-bit encoding of the platform's file names. No header, no byte-order mark.

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QList>
#include <QString>
#include <functional>

struct TSequenceEntry {
    QString Path;    // as written: a full path, or the text read from a sequence file
    QString Comment; // one line, may be empty
    friend bool operator==(const TSequenceEntry&, const TSequenceEntry&) = default;
};

// Longest comment kept when reading, in characters.
inline constexpr qsizetype kMaxSequenceComment = 9999;

// One line without its line end: the path before the first ";", the comment after it (its first
// kMaxSequenceComment characters). A line without ";" is a path with an empty comment.
TSequenceEntry ParseSequenceLine(QByteArrayView line);

// Splits a sequence file into entries as its bytes arrive, in pieces of any size. A line ends
// at LF; a CR just before the LF is dropped. Every line makes an entry, an empty one too.
class TSequenceReader {
public:
    explicit TSequenceReader(std::function<void(TSequenceEntry)> sink) : m_sink(std::move(sink)) {}

    void Feed(QByteArrayView bytes);
    // Delivers a last line that has no LF (a CR at its end then stays part of it).
    void Finish();

private:
    void Deliver(QByteArrayView line);

    std::function<void(TSequenceEntry)> m_sink;
    QByteArray m_pending; // start of a line whose LF has not arrived yet
};

QList<TSequenceEntry> ParseSequence(QByteArrayView bytes);

// The file's bytes: "path;comment" CR LF per entry; nothing at all for an empty list.
QByteArray FormatSequence(const QList<TSequenceEntry>& entries);

// A sequence file opened for reading; the constructor throws ETaveluneError with the system's
// text when it cannot be opened.
class TSequenceFileReader {
public:
    explicit TSequenceFileReader(const QString& path);

    // Hands each entry to sink as soon as its line is complete. Throws ETaveluneError when a
    // read fails; the entries delivered before stay delivered.
    void ReadAll(const std::function<void(TSequenceEntry)>& sink);

private:
    QString m_path;
    QFile m_file;
};

// Writes the file through a temporary file in its folder that replaces the old file only once
// complete; on failure the old file is left as it was. Throws ETaveluneError.
void WriteSequenceFile(const QString& path, const QList<TSequenceEntry>& entries);
