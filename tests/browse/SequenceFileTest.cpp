// SPDX-License-Identifier: GPL-2.0-or-later
#include "browse/SequenceFile.h"
#include "FullDisk.h"
#include "browse/ImageSequence.h"
#include "core/Errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Entries = QList<TSequenceEntry>;

void PrintEntries(const Entries& entries, std::ostream* os) {
    for (const TSequenceEntry& e : entries)
        *os << "[" << e.Path.toStdString() << "|" << e.Comment.toStdString() << "]";
}

struct ParseCase {
    const char* name;
    QByteArray bytes;
    Entries expected;
};

class ParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseTest, SplitsLinesAndTheFirstSemicolon) {
    const ParseCase& c = GetParam();
    const Entries got = ParseSequence(c.bytes);
    EXPECT_EQ(got, c.expected) << [&] {
        std::ostringstream os;
        PrintEntries(got, &os);
        return os.str();
    }();
}

TEST_P(ParseTest, AnySplitOfTheBytesGivesTheSameEntries) {
    const ParseCase& c = GetParam();
    for (qsizetype cut = 0; cut <= c.bytes.size(); ++cut) {
        Entries got;
        TSequenceReader reader([&got](TSequenceEntry e) { got.push_back(std::move(e)); });
        reader.Feed(QByteArrayView(c.bytes).first(cut));
        reader.Feed(QByteArrayView(c.bytes).sliced(cut));
        reader.Finish();
        EXPECT_EQ(got, c.expected) << "cut at " << cut;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseTest,
    ::testing::Values(
        ParseCase{"Empty", "", {}},
        ParseCase{"CrLf",
                  "D:\\a.jpg;sunset\r\nD:\\b.png;\r\n",
                  {{"D:\\a.jpg", "sunset"}, {"D:\\b.png", ""}}},
        ParseCase{"BareLf", "a.jpg;x\nb.jpg;y\n", {{"a.jpg", "x"}, {"b.jpg", "y"}}},
        ParseCase{"LastLineWithoutEnd", "a.jpg;x\r\nb.jpg", {{"a.jpg", "x"}, {"b.jpg", ""}}},
        ParseCase{"FirstSemicolonOnly", "x.jpg;a;b\r\n", {{"x.jpg", "a;b"}}},
        ParseCase{"NoSemicolon", "x.jpg\r\n", {{"x.jpg", ""}}},
        ParseCase{"EmptyLinesAreEntries", "\r\n\n;c\r\n", {{"", ""}, {"", ""}, {"", "c"}}},
        // Only the CR right before the LF ends the line; others belong to the text.
        ParseCase{"InnerCrKept", "a\rb;c\rd\r\n", {{"a\rb", "c\rd"}}},
        ParseCase{"DoubleCr", "a;b\r\r\n", {{"a", "b\r"}}},
        ParseCase{"FinalCrWithoutLf", "a;b\r", {{"a", "b\r"}}},
        ParseCase{"LoneLf", "\n", {{"", ""}}},
        ParseCase{"Utf8", "/photos/été.jpg;Noël ✓\r\n", {{"/photos/été.jpg", "Noël ✓"}}},
        ParseCase{"NulInside",
                  QByteArray("a\0b;c\0d\n", 8),
                  {{QString("a") + QChar(0) + "b", QString("c") + QChar(0) + "d"}}}),
    [](const ::testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

struct CommentLengthCase {
    const char* name;
    QString unit;        // one character
    int repeat;          // how many times it is written
    qsizetype keptUnits; // UTF-16 units of the comment read back
};

class CommentLimitTest : public ::testing::TestWithParam<CommentLengthCase> {};

TEST_P(CommentLimitTest, KeepsTheFirst9999Characters) {
    const CommentLengthCase& c = GetParam();
    const QString comment = c.unit.repeated(c.repeat);
    const QByteArray line = "x.jpg;" + comment.toUtf8() + "\r\n";
    const Entries got = ParseSequence(line);
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got[0].Path, "x.jpg");
    EXPECT_EQ(got[0].Comment.size(), c.keptUnits);
    EXPECT_TRUE(comment.startsWith(got[0].Comment));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommentLimitTest,
    ::testing::Values(CommentLengthCase{"Ascii12000", "a", 12000, 9999},
                      CommentLengthCase{"Ascii9999", "a", 9999, 9999},
                      CommentLengthCase{"Ascii9998", "a", 9998, 9998},
                      CommentLengthCase{"TwoByte10000", QString::fromUtf8("é"), 10000, 9999},
                      CommentLengthCase{"ThreeByte20000", QString::fromUtf8("✓"), 20000, 9999},
                      // A character outside the basic plane is one character, two UTF-16 units.
                      CommentLengthCase{"FourByte10000", QString::fromUtf8("😀"), 10000, 19998}),
    [](const ::testing::TestParamInfo<CommentLengthCase>& info) {
        return std::string(info.param.name);
    });

TEST(SequenceFormat, WritesSemicolonAndCrLfAfterEveryLine) {
    const Entries entries{{"D:\\a.jpg", "sunset"}, {"D:\\b.png", ""}, {"", ""}};
    EXPECT_EQ(FormatSequence(entries), QByteArray("D:\\a.jpg;sunset\r\nD:\\b.png;\r\n;\r\n"));
    EXPECT_EQ(FormatSequence({}), QByteArray());
}

TEST(SequenceFormat, WrittenEntriesReadBackUnchanged) {
    const Entries entries{{"/photos/été/ü.jpg", "Noël ✓ 😀"},
                          {"rel/x.png", "a;b;c"},
                          {"", "only comment"},
                          {"C:\\dos\\path.bmp", ""}};
    EXPECT_EQ(ParseSequence(FormatSequence(entries)), entries);
}

TEST(SequenceFormat, SemicolonInPathDoesNotSurviveARoundTrip) {
    const Entries entries{{"a;b.jpg", "c"}};
    EXPECT_EQ(ParseSequence(FormatSequence(entries)), (Entries{{"a", "b.jpg;c"}}));
}

class SequenceFileTest : public ::testing::Test {
protected:
    QString PathOf(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    static void WriteBytes(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    static QByteArray ReadBytes(const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return "<missing>";
        return f.readAll();
    }
    QStringList FilesInDir() const {
        return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

    QTemporaryDir m_dir;
};

TEST_F(SequenceFileTest, SaveWritesExactBytesAndClearsTheMark) {
    TImageSequence list;
    list.AddImage("D:\\a.jpg");
    list.AddImage("D:\\b.png");
    list.SetCurrent(0);
    list.SetCurrentComment("sunset");
    list.SetCurrent(1);
    ASSERT_TRUE(list.Modified());
    const QString path = PathOf("show.stl");
    list.SaveSequenceFile(path);
    EXPECT_EQ(ReadBytes(path), QByteArray("D:\\a.jpg;sunset\r\nD:\\b.png;\r\n"));
    EXPECT_EQ(list.FileName(), path);
    EXPECT_FALSE(list.Modified());
    EXPECT_EQ(list.Current(), 1); // entries and current unchanged
    EXPECT_EQ(FilesInDir(), QStringList{"show.stl"});
}

TEST_F(SequenceFileTest, SavingAnEmptyListWritesZeroBytesOverTheOldFile) {
    const QString path = PathOf("empty.stl");
    WriteBytes(path, "old;content\r\n");
    TImageSequence list;
    list.SaveSequenceFile(path);
    EXPECT_EQ(ReadBytes(path), QByteArray());
}

TEST_F(SequenceFileTest, LoadReplacesEntriesAndLeavesNoCurrentEntry) {
    const QString path = PathOf("in.stl");
    WriteBytes(path, "x.jpg;a;b\r\n\r\ny.jpg\n");
    TImageSequence list;
    list.AddImage("old.jpg");
    list.SetCurrent(0);
    list.LoadSequenceFile(path);
    EXPECT_EQ(list.Entries(), (Entries{{"x.jpg", "a;b"}, {"", ""}, {"y.jpg", ""}}));
    EXPECT_EQ(list.Current(), -1);
    EXPECT_FALSE(list.Modified());
    EXPECT_EQ(list.FileName(), path);
}

TEST_F(SequenceFileTest, LoadingAnEmptyFileEmptiesTheList) {
    const QString path = PathOf("zero.stl");
    WriteBytes(path, "");
    TImageSequence list;
    list.AddImage("old.jpg");
    list.LoadSequenceFile(path);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Current(), -1);
}

TEST_F(SequenceFileTest, SaveThenLoadGivesTheSameList) {
    TImageSequence list;
    for (const char* p : {"/a/été.jpg", "relative/b.png", "c.gif"})
        list.AddImage(QString::fromUtf8(p));
    list.SetComment(1, QString::fromUtf8("naïve; comment"));
    const QString path = PathOf("round.stl");
    list.SaveSequenceFile(path);
    TImageSequence other;
    other.LoadSequenceFile(path);
    EXPECT_EQ(other.Entries(), list.Entries());
}

// Failures keep fileName and the mark; a file that cannot be opened leaves the entries too.
struct FailureCase {
    const char* name;
    std::function<QString(const QTemporaryDir&)> target;
};

class LoadFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(LoadFailureTest, ThrowsAndKeepsTheList) {
    QTemporaryDir dir;
    const QString path = GetParam().target(dir);
    TImageSequence list;
    list.AddImage("keep.jpg");
    list.SetCurrent(0);
    list.SaveSequenceFile(dir.filePath("previous.stl"));
    list.SetCurrentComment("edited");
    EXPECT_THROW(list.LoadSequenceFile(path), ETaveluneError);
    EXPECT_EQ(list.Entries(), (Entries{{"keep.jpg", "edited"}}));
    EXPECT_EQ(list.Current(), 0);
    EXPECT_TRUE(list.Modified());
    EXPECT_EQ(list.FileName(), dir.filePath("previous.stl"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadFailureTest,
    ::testing::Values(FailureCase{"Missing",
                                  [](const QTemporaryDir& d) { return d.filePath("no.stl"); }},
                      FailureCase{"Folder", [](const QTemporaryDir& d) { return d.path(); }}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

#ifdef __linux__
TEST_F(SequenceFileTest, ReadErrorAfterOpeningKeepsFileNameAndMark) {
    // Opens fine, but reading at offset 0 of the process memory fails.
    TImageSequence list;
    list.AddImage("keep.jpg");
    ASSERT_TRUE(list.Modified());
    EXPECT_THROW(list.LoadSequenceFile("/proc/self/mem"), ETaveluneError);
    EXPECT_TRUE(list.Modified());
    EXPECT_TRUE(list.FileName().isEmpty());
    EXPECT_EQ(list.Current(), -1);
}
#endif

TEST_F(SequenceFileTest, SaveIntoMissingFolderThrowsAndKeepsFileNameAndMark) {
    TImageSequence list;
    list.AddImage("a.jpg");
    EXPECT_THROW(list.SaveSequenceFile(PathOf("nofolder/x.stl")), ETaveluneError);
    EXPECT_TRUE(list.FileName().isEmpty());
    EXPECT_TRUE(list.Modified());
}

#ifdef RLIMIT_FSIZE
TEST_F(SequenceFileTest, FailedWriteKeepsTheOldFileAndLeavesNoTemporaryFile) {
    const QString path = PathOf("keep.stl");
    const QByteArray old = "old.jpg;old comment\r\n";
    WriteBytes(path, old);
    TImageSequence list;
    for (int i = 0; i < 200; ++i)
        list.AddImage(QStringLiteral("/some/long/folder/image%1.jpg").arg(i));
    {
        const TFileSizeLimit limit(64);
        EXPECT_THROW(list.SaveSequenceFile(path), ETaveluneError);
    }
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(FilesInDir(), QStringList{"keep.stl"});
    EXPECT_TRUE(list.FileName().isEmpty());
    EXPECT_TRUE(list.Modified());
}
#endif

} // namespace
