// SPDX-License-Identifier: GPL-2.0-or-later
// Reads arbitrary bytes as a sequence file, in one piece and in two, and checks what any input
// must give: one entry per line, short comments, and entries that survive being written out
// and read back.
#include "browse/SequenceFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

qsizetype CodePoints(const QString& s) {
    qsizetype n = 0;
    for (qsizetype i = 0; i < s.size(); ++i, ++n)
        if (s.at(i).isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) ++i;
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<TSequenceEntry> entries = ParseSequence(bytes);

    const qsizetype lines = bytes.count('\n') + (size > 0 && data[size - 1] != '\n' ? 1 : 0);
    Check(entries.size() == lines);
    for (const TSequenceEntry& e : entries) {
        Check(!e.Path.contains(u'\n') && !e.Comment.contains(u'\n'));
        Check(!e.Path.contains(u';'));
        Check(CodePoints(e.Comment) <= kMaxSequenceComment);
    }

    if (size > 0) {
        const qsizetype cut = qsizetype(data[0]) * qsizetype(size) / 256;
        QList<TSequenceEntry> pieces;
        TSequenceReader reader([&pieces](TSequenceEntry e) { pieces.push_back(std::move(e)); });
        reader.Feed(bytes.first(cut));
        reader.Feed(bytes.sliced(cut));
        reader.Finish();
        Check(pieces == entries);
    }

    Check(ParseSequence(FormatSequence(entries)) == entries);
    return 0;
}
