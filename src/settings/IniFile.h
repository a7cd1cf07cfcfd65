// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A profile (INI) text file read and edited in memory. Section and key names match without
// regard to letter case. Editing keeps every line it does not touch byte for byte (comments,
// other sections, odd case, blank lines, line endings), so a hand-edited file survives the
// program's writes.

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// The value a profile read yields for a missing key; a stored "ERREUR" counts as missing.
inline constexpr const char* kMissingValue = "ERREUR";

class TIniFile {
public:
    TIniFile() = default;
    static TIniFile FromBytes(const QByteArray& bytes);

    // False when the path is not a readable regular file of sensible size; the object is then
    // left empty.
    bool LoadFromFile(const QString& path);

    // The value of the first key of that name in the first section of that name: the text after
    // the first "=", blanks trimmed, one enclosing pair of quotes removed. Nothing when the key
    // is missing or its value is the missing marker.
    std::optional<QString> Read(const QString& section, const QString& key) const;

    // Replaces the value of an existing key in place, or appends "key=value" after the last
    // non-blank line of the section; the section is appended when missing. False (and nothing
    // changed) for a value that cannot stand on one line.
    bool Write(const QString& section, const QString& key, const QString& value);

    QByteArray ToBytes() const;

    // Written to a temporary file in the target folder and renamed over the target when
    // complete; the folder is created when missing. Throws ETaveluneError on failure, leaving
    // any old file as it was.
    void SaveToFile(const QString& path) const;

private:
    struct Line {
        QByteArray text;   // without its line ending
        QByteArray ending; // "\n", "\r\n" or empty for a last line without one
    };

    int FindSection(const QString& section) const;
    int SectionEnd(int header) const;
    int FindKey(int header, const QString& key) const;
    QByteArray NewLineEnding() const;
    void EnsureEnding(int line);

    std::vector<Line> m_lines;
};
