// SPDX-License-Identifier: GPL-2.0-or-later
// The folder-choice dialog's browse button: the browser starts in the field's folder with the
// message as its title; a folder chosen replaces the field, a cancelled browser leaves it.
#include "viewer/DirForm.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct TBrowseCase {
    const char* name;
    const char* answer;
    const char* field;
};

class DirFormBrowse : public ::testing::TestWithParam<TBrowseCase> {};

TEST_P(DirFormBrowse, ReplacesTheFolderOnlyWhenOneIsChosen) {
    std::vector<std::pair<QString, QString>> calls;
    const char* answer = GetParam().answer;
    TDirForm form(nullptr, [&](const QString& title, const QString& folder) {
        calls.emplace_back(title, folder);
        return QString::fromUtf8(answer);
    });
    form.LblMessage->setText("Move image to :");
    form.EdiDossier->setText("/start");
    form.BDossier->click();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].first, "Move image to :");
    EXPECT_EQ(calls[0].second, "/start");
    EXPECT_EQ(form.EdiDossier->text(), GetParam().field);
    EXPECT_TRUE(form.EdiDossier->isReadOnly());
    EXPECT_TRUE(form.BOk->isDefault());
}

INSTANTIATE_TEST_SUITE_P(Answers, DirFormBrowse,
                         ::testing::Values(TBrowseCase{"chosen", "/photos/kept", "/photos/kept"},
                                           TBrowseCase{"cancelled", "", "/start"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
