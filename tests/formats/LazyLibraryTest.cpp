// SPDX-License-Identifier: GPL-2.0-or-later
// Libraries opened at their first use: a missing library or function is found out, not a crash.
#include "formats/LazyLibrary.h"

#include <gtest/gtest.h>
#include <string>
#include <zlib.h>

namespace {

struct TBindCase {
    const char* name;
    const char* soname;
    const char* function;
    bool loaded;
    bool bound;
};

class LazyLibrary : public ::testing::TestWithParam<TBindCase> {};

TEST_P(LazyLibrary, BindsOnlyWhatExists) {
    const TBindCase& c = GetParam();
    const TLazyLibrary library(c.soname);
    EXPECT_EQ(library.Loaded(), c.loaded);
    decltype(&::zlibVersion) version = nullptr;
    EXPECT_EQ(library.Bind(version, c.function), c.bound);
    EXPECT_EQ(version != nullptr, c.bound);
}

INSTANTIATE_TEST_SUITE_P(
    Names, LazyLibrary,
    ::testing::Values(TBindCase{"present", "libz.so.1", "zlibVersion", true, true},
                      TBindCase{"missingFunction", "libz.so.1", "noSuchFunction", true, false},
                      TBindCase{"missingLibrary", "libtavelune-none.so.0", "zlibVersion", false,
                                false}),
    [](const auto& info) { return std::string(info.param.name); });

// The function found is the library's own: it answers as the library linked in does.
TEST(LazyLibraryCall, CallsTheLibrary) {
    const TLazyLibrary library("libz.so.1");
    decltype(&::zlibVersion) version = nullptr;
    ASSERT_TRUE(library.Bind(version, "zlibVersion"));
    EXPECT_STREQ(version(), ::zlibVersion());
}

} // namespace
