// SPDX-License-Identifier: GPL-2.0-or-later
// "--help" and "--version" among the program's arguments.
#include "browse/CommandLine.h"

#include <gtest/gtest.h>
#include <string>

namespace {

bool NothingExists(const QString&) {
    return false;
}
// Only a file named "--help" exists.
bool HelpFileExists(const QString& path) {
    return path == QLatin1String("--help");
}

struct TRequestCase {
    const char* name;
    QStringList args;
    TPathExists exists;
    TInfoRequest expected;
};

class InfoRequest : public ::testing::TestWithParam<TRequestCase> {};

TEST_P(InfoRequest, FromTheArguments) {
    EXPECT_EQ(ReadInfoRequest(GetParam().args, GetParam().exists), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, InfoRequest,
    ::testing::Values(
        TRequestCase{"none", {}, NothingExists, TInfoRequest::None},
        TRequestCase{"help", {"--help"}, NothingExists, TInfoRequest::Help},
        TRequestCase{"version", {"--version"}, NothingExists, TInfoRequest::Version},
        TRequestCase{"afterAnImage", {"a.jpg", "--version"}, NothingExists, TInfoRequest::Version},
        TRequestCase{"firstCounts", {"--help", "--version"}, NothingExists, TInfoRequest::Help},
        TRequestCase{"existingFileIsNoRequest", {"--help"}, HelpFileExists, TInfoRequest::None},
        TRequestCase{"nextRequestStillCounts",
                     {"--help", "--version"},
                     HelpFileExists,
                     TInfoRequest::Version},
        TRequestCase{"exactSpellingOnly",
                     {"--HELP", "-help", "/help", "--versions"},
                     NothingExists,
                     TInfoRequest::None},
        TRequestCase{
            "slideshowSwitchIsNoRequest", {"-diaporama=1"}, NothingExists, TInfoRequest::None}),
    [](const auto& info) { return std::string(info.param.name); });

// The requests stay switches: they are never opened.
TEST(InfoRequest, NeverOpened) {
    EXPECT_EQ(OpenArgument({"--help", "--version", "a.jpg"}, NothingExists), "a.jpg");
}

} // namespace
