// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Conversions of settings-file texts shared by the reader and the writer.

#include <QString>
#include <optional>

// A decimal integer with an optional sign that fits in 32 bits; nothing for any other text.
std::optional<int> ParseSettingsInt(QStringView text);

// A path as written, taken relative to the current folder when it is relative.
QString AbsoluteSettingsPath(const QString& path);

// The folder path ending with a separator.
QString WithTrailingSeparator(const QString& folder);
