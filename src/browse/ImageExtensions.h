// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Which file extensions the folder listings accept. The format registry owns the real list; the
// listings take it as a predicate so that they stay independent of the readers.

#include <QString>
#include <QStringList>
#include <functional>

// Answers for an extension without its dot, already lower-cased ("jpg", "tiff").
using TExtensionFilter = std::function<bool(const QString& lowerExtension)>;

// The extensions the format registry holds after start-up.
const QStringList& RegisteredImageExtensions();
bool IsRegisteredImageExtension(const QString& lowerExtension);

// A filter accepting exactly the given extensions (any letter case, with or without dot).
TExtensionFilter ExtensionListFilter(const QStringList& extensions);
