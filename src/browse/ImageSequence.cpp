// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/ImageSequence.h"

#include "browse/FolderScan.h"

#include <QFileInfo>

TImageSequence::TImageSequence() : m_folderMask(QLatin1String(kCommonImagesMask)) {}

void TImageSequence::SetFolderMask(const QString& mask) {
    m_folderMask = mask;
    m_folderMask.remove(u' ');
}

QString TImageSequence::PositionText() const {
    return QStringLiteral("%1/%2").arg(m_current + 1).arg(Count());
}

QString TImageSequence::Choose(int index) {
    m_current = index;
    if (OnPositionText) OnPositionText(PositionText());
    return m_entries[index].Path;
}

QString TImageSequence::First() {
    if (Empty()) return QString();
    return Choose(0);
}

QString TImageSequence::Last() {
    if (Empty()) return QString();
    return Choose(Count() - 1);
}

QString TImageSequence::Next(bool wrap) {
    if (m_current < 0) return First();
    if (m_current + 1 < Count()) return Choose(m_current + 1);
    if (wrap && HasSeveral()) return First();
    return QString();
}

QString TImageSequence::Previous(bool wrap) {
    if (m_current < 0) return Last();
    if (m_current > 0) return Choose(m_current - 1);
    if (wrap && HasSeveral()) return Last();
    return QString();
}

bool TImageSequence::CanGoNext(bool wrap) const {
    if (m_current < 0) return !Empty();
    return m_current + 1 < Count() || (wrap && HasSeveral());
}

bool TImageSequence::CanGoPrevious(bool wrap) const {
    if (m_current < 0) return !Empty();
    return m_current > 0 || (wrap && HasSeveral());
}

QString TImageSequence::CurrentPath() {
    if (m_current < 0) return First();
    return Choose(m_current);
}

bool TImageSequence::SelectPath(const QString& path) {
    // An entry spelled exactly so comes first: where letter case counts, IMG_1.JPG and
    // img_1.jpg are two files of one folder.
    int found = -1;
    for (int i = 0; i < Count(); ++i) {
        const QString& entry = m_entries[i].Path;
        if (entry == path) {
            found = i;
            break;
        }
        if (found < 0 && entry.compare(path, Qt::CaseInsensitive) == 0) found = i;
    }
    if (found < 0) return false;
    Choose(found);
    return true;
}

void TImageSequence::SelectOpenedFile(const QString& path) {
    if (SelectPath(path)) return;
    const QString name = QFileInfo(path).fileName();
    int at = 0;
    while (at < Count() && !NameLessCaseInsensitive(name, QFileInfo(m_entries[at].Path).fileName()))
        ++at;
    m_entries.insert(at, TSequenceEntry{path, QString()});
    Choose(at);
}

QString TImageSequence::CurrentComment(bool useFileName) const {
    if (!Valid(m_current)) return QString();
    const TSequenceEntry& e = m_entries[m_current];
    if (e.Comment.isEmpty() && useFileName) return QFileInfo(e.Path).fileName();
    return e.Comment;
}

void TImageSequence::SetCurrentComment(const QString& text) {
    if (!Valid(m_current)) return;
    m_entries[m_current].Comment = text;
    m_modified = true;
}

bool TImageSequence::HasAnyComment() const {
    for (const TSequenceEntry& e : m_entries)
        if (!e.Comment.isEmpty()) return true;
    return false;
}

void TImageSequence::RenameCurrent(const QString& path) {
    if (Valid(m_current)) m_entries[m_current].Path = path;
}

void TImageSequence::RemoveCurrent() {
    if (!Valid(m_current)) return;
    m_entries.removeAt(m_current);
    if (m_current >= Count()) m_current = Count() - 1;
}

void TImageSequence::FillFromFolder(const QString& folder, bool replace, bool includeSubfolders) {
    if (replace) {
        m_entries.clear();
        m_current = -1;
    }
    if (!folder.isEmpty()) m_folder = folder;
    qsizetype added = 0;
    if (includeSubfolders) {
        for (const QString& path : ScanFolder(m_folder, m_folderMask, true, m_accept)) {
            m_entries.push_back(TSequenceEntry{path, QString()});
            ++added;
        }
    } else {
        for (const QString& name : ListFolder(m_folder, m_folderMask, m_accept)) {
            m_entries.push_back(TSequenceEntry{JoinPath(m_folder, name), QString()});
            ++added;
        }
    }
    if (replace)
        m_modified = false;
    else if (added > 0)
        m_modified = true;
}

void TImageSequence::AddImage(const QString& path) {
    m_entries.push_back(TSequenceEntry{path, QString()});
    m_modified = true;
}

void TImageSequence::LoadSequenceFile(const QString& path) {
    TSequenceFileReader file(path);
    m_entries.clear();
    m_current = -1;
    file.ReadAll([this](TSequenceEntry e) { m_entries.push_back(std::move(e)); });
    m_fileName = path;
    m_modified = false;
}

void TImageSequence::SaveSequenceFile(const QString& path) {
    WriteSequenceFile(path, m_entries);
    m_fileName = path;
    m_modified = false;
}

void TImageSequence::SetCurrent(int index) {
    m_current = Valid(index) ? index : -1;
}

void TImageSequence::SetComment(int index, const QString& text) {
    if (!Valid(index)) return;
    m_entries[index].Comment = text;
    m_modified = true;
}

void TImageSequence::MoveUp(int index) {
    if (!Valid(index) || index == 0) return;
    m_entries.swapItemsAt(index, index - 1);
    if (m_current == index)
        m_current = index - 1;
    else if (m_current == index - 1)
        m_current = index;
    m_modified = true;
}

void TImageSequence::MoveDown(int index) {
    if (!Valid(index) || index + 1 >= Count()) return;
    MoveUp(index + 1);
}

void TImageSequence::RemoveAt(int index) {
    if (!Valid(index)) return;
    m_entries.removeAt(index);
    if (m_current > index || m_current >= Count()) --m_current;
    m_modified = true;
}

void TImageSequence::RemoveAll() {
    m_entries.clear();
    m_current = -1;
    m_modified = true;
}

void TImageSequence::Restore(const TSnapshot& snapshot) {
    m_entries = snapshot.entries;
    m_current = Valid(snapshot.current) ? snapshot.current : -1;
}
