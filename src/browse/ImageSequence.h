// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The image list: the ordered entries (path and comment) the viewer steps through, the current
// entry, the modified mark, the last sequence file and the folder mask of the listings.

#include "browse/ImageExtensions.h"
#include "browse/SequenceFile.h"
#include "formats/SaveFormats.h"

#include <QList>
#include <QString>
#include <functional>

// Patterns of the "Common images" file type, the folder mask at start-up.
inline constexpr const char* kCommonImagesMask = kCommonImageMasks;

class TImageSequence {
public:
    TImageSequence();

    const QList<TSequenceEntry>& Entries() const { return m_entries; }
    int Count() const { return int(m_entries.size()); }
    bool Empty() const { return m_entries.isEmpty(); }
    // Index of the current entry, -1 when none.
    int Current() const { return m_current; }
    bool Modified() const { return m_modified; }
    void SetModified(bool on) { m_modified = on; }
    // The sequence file last loaded or saved; empty until then.
    const QString& FileName() const { return m_fileName; }
    const QString& FolderMask() const { return m_folderMask; }
    // Spaces are removed; the mask stays in force for every later listing.
    void SetFolderMask(const QString& mask);
    // The folder the sequence manager's panes show: the last one a fill was given.
    const QString& Folder() const { return m_folder; }
    void SetFolder(const QString& folder) { m_folder = folder; }
    // Which extensions the listings accept besides the mask (the format registry's list).
    void SetExtensionFilter(TExtensionFilter accept) { m_accept = std::move(accept); }
    const TExtensionFilter& ExtensionFilter() const { return m_accept; }

    // Receives "n/count" each time an entry is chosen through the navigation below.
    std::function<void(const QString&)> OnPositionText;
    QString PositionText() const;

    // Navigation: each returns the chosen entry's path, or an empty path when none is chosen.
    // wrap is the slideshow's loop: the ends join only for lists of more than one entry.
    QString First();
    QString Last();
    QString Next(bool wrap);
    QString Previous(bool wrap);
    bool CanGoNext(bool wrap) const;
    bool CanGoPrevious(bool wrap) const;
    bool IsAtFirst() const { return m_current == 0; }
    bool IsAtLast() const { return m_current + 1 == Count(); }
    bool HasSeveral() const { return Count() > 1; }
    // The current entry's path; with no current entry acts as First.
    QString CurrentPath();
    // Makes the entry whose path equals path current: the first spelled exactly so, else the
    // first equal to it with letter case ignored.
    bool SelectPath(const QString& path);
    // After a list was built from the folder of a file opened by the user: makes that file's
    // entry current. A file the listing left out (a type outside the folder mask, a hidden
    // file) joins the list at its place in the name order; the modified mark stays.
    void SelectOpenedFile(const QString& path);

    // The current comment; when it is empty and useFileName is set, the file name of the path.
    QString CurrentComment(bool useFileName) const;
    void SetCurrentComment(const QString& text);
    bool HasAnyComment() const;
    // After a rename on disk: the path changes, the comment and the modified mark stay.
    void RenameCurrent(const QString& path);
    // The entry at the same index becomes current, or the new last one; the mark stays.
    void RemoveCurrent();

    // Rebuilds (replace) or extends the list from the images of folder, with its subfolders
    // when asked. An empty folder means the one the last fill was given.
    void FillFromFolder(const QString& folder, bool replace, bool includeSubfolders);
    void AddImage(const QString& path);

    // Both throw ETaveluneError; fileName and the mark then keep their values. A read that
    // fails half-way leaves the entries read so far.
    void LoadSequenceFile(const QString& path);
    void SaveSequenceFile(const QString& path);

    // Hand edits of the sequence manager; each sets the modified mark.
    void SetCurrent(int index); // -1 or a valid index; the mark stays
    void SetComment(int index, const QString& text);
    void MoveUp(int index); // moves the entry and the current index with it
    void MoveDown(int index);
    void RemoveAt(int index);
    void RemoveAll();

    // What Cancel in the sequence manager restores: entries and current, not the mark.
    struct TSnapshot {
        QList<TSequenceEntry> entries;
        int current = -1;
    };
    TSnapshot Snapshot() const { return TSnapshot{m_entries, m_current}; }
    void Restore(const TSnapshot& snapshot);

private:
    QString Choose(int index);
    bool Valid(int index) const { return index >= 0 && index < Count(); }

    QList<TSequenceEntry> m_entries;
    int m_current = -1;
    bool m_modified = false;
    QString m_fileName;
    QString m_folderMask;
    QString m_folder;
    TExtensionFilter m_accept = IsRegisteredImageExtension;
};
