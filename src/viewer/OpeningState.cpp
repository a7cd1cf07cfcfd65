// SPDX-License-Identifier: GPL-2.0-or-later
#include "viewer/OpeningState.h"

#include <QFileInfo>

void TOpeningState::SetUnlistedComment(const QString& path, bool namesShown) {
    m_unlistedComment = namesShown ? QFileInfo(path).fileName() : QString();
}
