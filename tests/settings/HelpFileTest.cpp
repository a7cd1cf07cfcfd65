// SPDX-License-Identifier: GPL-2.0-or-later
// Where the HTML manual is looked for: beside the program, then in the installed data folders.
#include "settings/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct THelpCase {
    const char* name;
    const char* program;  // relative to a temporary root
    QStringList files;    // manuals present
    const char* expected; // "" none
};

class HelpFile : public ::testing::TestWithParam<THelpCase> {};

TEST_P(HelpFile, FirstManualFound) {
    const THelpCase& c = GetParam();
    QTemporaryDir root;
    QStringList made = c.files;
    made.append(QString::fromUtf8(c.program));
    for (const QString& f : made) {
        QDir(root.path()).mkpath(QFileInfo(root.filePath(f)).path());
        QFile file(root.filePath(f));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const TAppPaths paths(root.filePath(c.program), root.filePath("cfg"),
                          {root.filePath("data1"), root.filePath("data2")});
    EXPECT_EQ(paths.HelpFile(),
              QString(c.expected).isEmpty() ? QString() : root.filePath(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Places, HelpFile,
    ::testing::Values(
        THelpCase{"besideTheProgram",
                  "bin/tavelune",
                  {"bin/tavelune.htm", "share/tavelune/tavelune.htm"},
                  "bin/tavelune.htm"},
        THelpCase{
            "extensionReplaced", "prog/Tavelune.exe", {"prog/Tavelune.htm"}, "prog/Tavelune.htm"},
        THelpCase{"installedShareFolder",
                  "usr/bin/tavelune",
                  {"usr/share/tavelune/tavelune.htm", "data1/tavelune.htm"},
                  "usr/share/tavelune/tavelune.htm"},
        THelpCase{"dataFoldersInOrder",
                  "bin/tavelune",
                  {"data2/tavelune.htm", "data1/tavelune.htm"},
                  "data1/tavelune.htm"},
        THelpCase{"otherNameIgnored", "bin/tavelune", {"bin/Tavelune.htm", "bin/help.htm"}, ""},
        THelpCase{"none", "bin/tavelune", {}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
