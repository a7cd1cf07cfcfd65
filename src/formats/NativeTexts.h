// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Error texts of the readers of the program's own file formats (layered images and selection
// shapes). The load dispatcher shows its own message instead of them.

inline constexpr const char* InvalidDataText = "Fichier de données invalide !";
inline constexpr const char* InvalidCompressionText = "Invalid compression mode !";
