// SPDX-License-Identifier: GPL-2.0-or-later
// Every writer of the program on a nearly full disk: the failure is reported, the old file keeps
// every byte, and no temporary file stays behind. Writes both smaller and larger than a stream's
// write buffer (16 KiB), since a buffered writer may only fail at its last flush.
#include "FullDisk.h"
#include "TestFiles.h"
#include "TestImages.h"
#include "browse/FileOps.h"
#include "browse/SequenceFile.h"
#include "browse/Trash.h"
#include "core/Errors.h"
#include "formats/FormatRegistry.h"
#include "formats/FormatTestUtil.h"
#include "formats/ImageFiles.h"
#include "settings/IniFile.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>

namespace {

struct TWriterCase {
    const char* name;
    const char* oldName; // the file that is there before
    qint64 room;         // bytes left on the disk
    qint64 minimumSize;  // the new content is at least this large
    // Writes over (or beside) `old` in folder; true when the writer reported a failure.
    std::function<bool(const QString& folder, const QString& old)> write;
};

void PrintTo(const TWriterCase& c, std::ostream* os) {
    *os << c.name;
}

bool SaveImage(const QString& path, int width, int height) {
    TScriptedSeam seam;
    QString name = path;
    const int result = SaveImageFile(name, RandomImage(width, height, 9));
    const QString expected = QStringLiteral("Unable to save image in file \"%1\" !").arg(path);
    return result == -1 && seam.Messages == QStringList{expected};
}

QList<TSequenceEntry> ManyEntries() {
    QList<TSequenceEntry> entries;
    for (int i = 0; i < 400; ++i)
        entries.push_back({QStringLiteral("/photos/2024/summer/IMG_%1.jpg").arg(i),
                           QStringLiteral("comment %1").arg(i)});
    return entries;
}

// The file the copy row copies, beside the disk.
QString CopySource(const QString& folder) {
    return QDir(folder).filePath("../source.bin");
}

const TWriterCase kWriters[] = {
    // The case of the report: 4 KiB left, a 60 x 50 BMP (9 KiB) over keep.bmp.
    {"SmallImage", "keep.bmp", 4096, 9000,
     [](const QString&, const QString& old) { return SaveImage(old, 60, 50); }},
    {"LargeImage", "keep.png", 4096, 100000,
     [](const QString&, const QString& old) { return SaveImage(old, 200, 180); }},
    {"SettingsFile", "Tavelune.ini", 0, 100,
     [](const QString&, const QString& old) {
         TIniFile ini;
         for (int i = 0; i < 10; ++i)
             ini.Write("Params", QStringLiteral("key%1").arg(i), QStringLiteral("value %1").arg(i));
         try {
             ini.SaveToFile(old);
         } catch (const ETaveluneError&) {
             return true;
         }
         return false;
     }},
    {"SequenceFile", "tour.stl", 4096, 16384,
     [](const QString&, const QString& old) {
         try {
             WriteSequenceFile(old, ManyEntries());
         } catch (const ETaveluneError&) {
             return true;
         }
         return false;
     }},
    // The record is written first and must not be left half made; the file stays where it was.
    {"TrashInfo", "photo.jpg", 0, 60,
     [](const QString& folder, const QString& old) {
         return MoveToTrash(old, QDir(folder).filePath("Trash")).Error != 0;
     }},
    {"Copy", "photo.jpg", 4096, 20000,
     [](const QString& folder, const QString&) {
         return CopyNoReplace(CopySource(folder), QDir(folder).filePath("copy.bin")) != 0;
     }},
};

// The disk before the write: the old file, the trash folders, and the copy's source beside it
// (all made while there is room). Returns the old file's path.
QString Prepare(const TNearlyFullDisk& disk, const TWriterCase& c, const QByteArray& oldBytes) {
    const QString old = disk.FilePath(QString::fromLatin1(c.oldName));
    WriteFileBytes(old, oldBytes);
    QDir(disk.Folder()).mkpath("Trash/files");
    QDir(disk.Folder()).mkpath("Trash/info");
    WriteFileBytes(CopySource(disk.Folder()), QByteArray(20000, 's'));
    return old;
}

class FullDisk : public ::testing::TestWithParam<TWriterCase> {
protected:
    void SetUp() override {
        InitImageFormats();
        ASSERT_TRUE(disk.Valid());
    }
    // What the writers left: every entry of the disk's folders, hidden ones too, but the
    // filler.
    QString Entries() const {
        QStringList names;
        for (const QString& sub :
             {QString(), QStringLiteral("Trash/files"), QStringLiteral("Trash/info")})
            for (const QString& n : QDir(disk.FilePath(sub))
                                        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                       QDir::NoDotAndDotDot,
                                                   QDir::Name))
                if (n != TNearlyFullDisk::FillerName())
                    names << (sub.isEmpty() ? n : sub + '/' + n);
        return names.join(u' ');
    }
    TNearlyFullDisk disk;
};

TEST_P(FullDisk, ReportsTheFailureAndKeepsTheOldFile) {
    const TWriterCase& c = GetParam();
    ASSERT_GT(c.minimumSize, c.room);
    QByteArray oldBytes(3000, '\0');
    for (qsizetype i = 0; i < oldBytes.size(); ++i)
        oldBytes[i] = char(i * 7);
    const QString old = Prepare(disk, c, oldBytes);
    const QString before = Entries();

    disk.Fill(c.room);
    const bool failed = c.write(disk.Folder(), old);
    disk.Free();

    EXPECT_TRUE(failed) << (disk.IsTmpfs() ? "tmpfs" : "file size limit");
    EXPECT_EQ(ReadFileBytes(old), oldBytes);
    EXPECT_EQ(Entries(), before);
}

INSTANTIATE_TEST_SUITE_P(EveryWriter, FullDisk, ::testing::ValuesIn(kWriters),
                         [](const auto& info) { return std::string(info.param.name); });

// The same writers with room to spare, so that the failures above come from the full disk.
TEST(FullDiskBase, EveryWriterSucceedsWithRoom) {
    InitImageFormats();
    for (const TWriterCase& c : kWriters) {
        TNearlyFullDisk disk;
        EXPECT_FALSE(c.write(disk.Folder(), Prepare(disk, c, "old"))) << c.name;
    }
}

} // namespace
