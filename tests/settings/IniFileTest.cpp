// SPDX-License-Identifier: GPL-2.0-or-later
#include "settings/IniFile.h"

#include "SettingsTestUtil.h"
#include "core/Errors.h"

#include <QDirIterator>
#include <gtest/gtest.h>

namespace {

struct ReadCase {
    const char* name;
    QByteArray file;
    const char* key;
    std::optional<QString> expected;
};

class IniRead : public testing::TestWithParam<ReadCase> {};

TEST_P(IniRead, Value) {
    const ReadCase& c = GetParam();
    const TIniFile ini = TIniFile::FromBytes(c.file);
    EXPECT_EQ(ini.Read("Params", c.key), c.expected);
}

const std::optional<QString> kNone;

INSTANTIATE_TEST_SUITE_P(
    Cases, IniRead,
    testing::Values(
        ReadCase{"plain", "[Params]\nzoom=3\n", "zoom", "3"},
        ReadCase{"section_and_key_case", "[pArAmS]\nZoOm=3\n", "zoom", "3"},
        ReadCase{"blanks_trimmed", "  [ Params ]  \n  zoom  =  3 \t\n", "zoom", "3"},
        ReadCase{"double_quotes", "[Params]\nlk=\" D:\\Big \"\n", "lk", " D:\\Big "},
        ReadCase{"single_quotes", "[Params]\nlk='x'\n", "lk", "x"},
        ReadCase{"only_one_pair_removed", "[Params]\nlk=\"\"x\"\"\n", "lk", "\"x\""},
        ReadCase{"unpaired_quote_kept", "[Params]\nlk=\"x'\n", "lk", "\"x'"},
        ReadCase{"lone_quote_kept", "[Params]\nlk=\"\n", "lk", "\""},
        ReadCase{"first_equals_splits", "[Params]\nregion=a=b\n", "region", "a=b"},
        ReadCase{"empty_value_is_present", "[Params]\nscmt=\n", "scmt", ""},
        ReadCase{"marker_is_missing", "[Params]\nzoom=ERREUR\n", "zoom", kNone},
        ReadCase{"quoted_marker_is_missing", "[Params]\nzoom=\"ERREUR\"\n", "zoom", kNone},
        ReadCase{"marker_case_matters", "[Params]\nzoom=erreur\n", "zoom", "erreur"},
        ReadCase{"other_section", "[Other]\nzoom=3\n[Params]\ndelai=2\n", "zoom", kNone},
        ReadCase{"key_before_any_section", "zoom=3\n[Params]\n", "zoom", kNone},
        ReadCase{"no_section", "zoom=3\n", "zoom", kNone},
        ReadCase{"first_of_duplicates", "[Params]\nzoom=3\nzoom=4\n", "zoom", "3"},
        ReadCase{"first_section_only", "[Params]\n[x]\n[Params]\nzoom=4\n", "zoom", kNone},
        ReadCase{"comment_is_not_key", "[Params]\n;zoom=3\n# zoom=4\n", "zoom", kNone},
        ReadCase{"prefix_is_not_key", "[Params]\nzoomx=3\nxzoom=4\n", "zoom", kNone},
        ReadCase{"crlf", "[Params]\r\nzoom=3\r\ndelai=4\r\n", "zoom", "3"},
        ReadCase{"no_final_newline", "[Params]\nzoom=3", "zoom", "3"},
        ReadCase{"utf8_bom", "\xEF\xBB\xBF[Params]\nzoom=3\n", "zoom", "3"},
        ReadCase{"utf8_value", "[Params]\ndefdir=/img/\xC3\xA9t\xC3\xA9\n", "defdir",
                 QString::fromUtf8("/img/\xC3\xA9t\xC3\xA9")},
        ReadCase{"header_without_bracket", "[Params\nzoom=3\n", "zoom", "3"}),
    [](const auto& info) { return std::string(info.param.name); });

struct WriteCase {
    const char* name;
    QByteArray before;
    const char* key;
    const char* value;
    QByteArray after;
};

class IniWrite : public testing::TestWithParam<WriteCase> {};

TEST_P(IniWrite, Bytes) {
    const WriteCase& c = GetParam();
    TIniFile ini = TIniFile::FromBytes(c.before);
    ASSERT_TRUE(ini.Write("Params", c.key, QString::fromUtf8(c.value)));
    EXPECT_EQ(ini.ToBytes(), c.after);
    EXPECT_EQ(ini.Read("Params", c.key), QString::fromUtf8(c.value));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniWrite,
    testing::Values(
        WriteCase{"new_file", "", "zoom", "3", "[Params]\nzoom=3\n"},
        WriteCase{"replace_in_place", "[Params]\nzoom=1\ndelai=2\n", "zoom", "3",
                  "[Params]\nzoom=3\ndelai=2\n"},
        WriteCase{"keeps_key_spelling_and_blanks", "[PARAMS]\n  Zoom = 1 ; old\n", "zoom", "3",
                  "[PARAMS]\n  Zoom = 3\n"},
        WriteCase{"keeps_crlf_of_line", "[Params]\r\nzoom=1\r\n", "zoom", "8",
                  "[Params]\r\nzoom=8\r\n"},
        WriteCase{"append_at_end_of_section_before_blank_lines",
                  "; top\n[Params]\nzoom=1\n\n[Other]\nx=1\n", "delai", "4",
                  "; top\n[Params]\nzoom=1\ndelai=4\n\n[Other]\nx=1\n"},
        WriteCase{"append_to_empty_section", "[Params]\n\n[Other]\n", "delai", "4",
                  "[Params]\ndelai=4\n\n[Other]\n"},
        WriteCase{"append_after_comment_in_section", "[Params]\nzoom=1\n; note\n", "cf", "#FF0000",
                  "[Params]\nzoom=1\n; note\ncf=#FF0000\n"},
        WriteCase{"append_with_crlf", "[Params]\r\nzoom=1\r\n", "delai", "4",
                  "[Params]\r\nzoom=1\r\ndelai=4\r\n"},
        WriteCase{"append_after_last_line_without_newline", "[Params]\nzoom=1", "delai", "4",
                  "[Params]\nzoom=1\ndelai=4\n"},
        WriteCase{"create_section_after_others", "[Other]\nx=1", "zoom", "3",
                  "[Other]\nx=1\n\n[Params]\nzoom=3\n"},
        WriteCase{"create_section_after_blank", "[Other]\r\nx=1\r\n\r\n", "zoom", "3",
                  "[Other]\r\nx=1\r\n\r\n[Params]\r\nzoom=3\r\n"},
        WriteCase{"replace_marker_value", "[Params]\nzoom=ERREUR\n", "zoom", "2",
                  "[Params]\nzoom=2\n"},
        WriteCase{"empty_value", "[Params]\nscmt=biu\n", "scmt", "", "[Params]\nscmt=\n"},
        WriteCase{"outer_blanks_quoted", "[Params]\n", "defdir", " /a b ",
                  "[Params]\ndefdir=\" /a b \"\n"},
        WriteCase{"enclosing_quotes_quoted", "[Params]\n", "defdir", "'x'",
                  "[Params]\ndefdir=\"'x'\"\n"},
        WriteCase{"inner_quote_as_is", "[Params]\n", "defdir", "/it's", "[Params]\ndefdir=/it's\n"},
        WriteCase{"utf8_value", "[Params]\n", "defdir", "/\xC3\xA9t\xC3\xA9",
                  "[Params]\ndefdir=/\xC3\xA9t\xC3\xA9\n"},
        WriteCase{"bom_kept", "\xEF\xBB\xBF[Params]\nzoom=1\n", "zoom", "2",
                  "\xEF\xBB\xBF[Params]\nzoom=2\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniFile, ValuesThatSpanLinesAreRefused) {
    const QByteArray before = "[Params]\ndefdir=/a\n";
    for (const char* value : {"/a\n[Params]\nzoom=8", "/a\rb"}) {
        TIniFile ini = TIniFile::FromBytes(before);
        EXPECT_FALSE(ini.Write("Params", "defdir", value));
        EXPECT_EQ(ini.ToBytes(), before);
    }
}

TEST(IniFile, UntouchedBytesSurviveEvenWhenNotUtf8) {
    const QByteArray before = "[Params]\n\xFF\xFE odd=\x80\r\nzoom=1\n[x]\r\n";
    TIniFile ini = TIniFile::FromBytes(before);
    ASSERT_TRUE(ini.Write("Params", "zoom", "2"));
    EXPECT_EQ(ini.ToBytes(), QByteArray("[Params]\n\xFF\xFE odd=\x80\r\nzoom=2\n[x]\r\n"));
}

TEST(IniFile, LoadRefusesWhatIsNotARegularFile) {
    QTemporaryDir dir;
    TIniFile ini;
    EXPECT_FALSE(ini.LoadFromFile(dir.filePath("missing.ini")));
    EXPECT_FALSE(ini.LoadFromFile(dir.path()));
    EXPECT_FALSE(ini.LoadFromFile("/dev/zero"));
    WriteFile(dir.filePath("a.ini"), "[Params]\nzoom=4");
    ASSERT_TRUE(ini.LoadFromFile(dir.filePath("a.ini")));
    EXPECT_EQ(ini.Read("params", "ZOOM"), QString("4"));
}

TEST(IniFile, SaveCreatesFolderAndReplacesWholeFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("sub/deeper/Tavelune.ini");
    TIniFile ini;
    ini.Write("Params", "zoom", "3");
    ini.SaveToFile(path);
    EXPECT_EQ(ReadFile(path), QByteArray("[Params]\nzoom=3\n"));
    ini.Write("Params", "zoom", "4");
    ini.SaveToFile(path);
    EXPECT_EQ(ReadFile(path), QByteArray("[Params]\nzoom=4\n"));
}

QStringList FilesIn(const QString& folder) {
    QStringList names;
    QDirIterator it(folder, QDir::Files | QDir::Hidden);
    while (it.hasNext())
        names << QFileInfo(it.next()).fileName();
    names.sort();
    return names;
}

TEST(IniFile, FailedSaveLeavesOldFileAndNoLeftovers) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Tavelune.ini");
    const QByteArray old = "[Params]\nzoom=1\n";
    WriteFile(path, old);
    TIniFile ini = TIniFile::FromBytes(old);
    ini.Write("Params", "defdir", QString(200, u'x'));
    {
        const TFileSizeLimit full(64);
        EXPECT_THROW(ini.SaveToFile(path), ETaveluneError);
    }
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_EQ(FilesIn(dir.path()), QStringList{"Tavelune.ini"});
}

TEST(IniFile, SaveIntoFolderThatCannotExistThrows) {
    QTemporaryDir dir;
    WriteFile(dir.filePath("plain"), "x");
    TIniFile ini;
    ini.Write("Params", "zoom", "1");
    EXPECT_THROW(ini.SaveToFile(dir.filePath("plain/Tavelune.ini")), ETaveluneError);
    EXPECT_EQ(ReadFile(dir.filePath("plain")), QByteArray("x"));
}

} // namespace
