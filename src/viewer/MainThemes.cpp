// SPDX-License-Identifier: GPL-2.0-or-later
// "Load theme...": a theme file chosen in the themes folder, applied to the running viewer.
#include "viewer/Main.h"

#include "settings/Themes.h"

void TMainForm::RunLoadTheme() {
    TFileNameRequest request;
    request.Title = QStringLiteral("Load theme");
    request.Filter = QStringLiteral("Theme file (*.tlt)|*.tlt");
    request.DefaultExtension = QLatin1String(kThemeExtension);
    request.Folder = m_paths.ThemesFolder();
    const QString name = m_files->OpenName(request);
    if (name.isEmpty()) return;

    const bool blur = m_settings.bflou;
    const int tint = m_settings.teinte;
    const int step = m_settings.reglage;
    if (!LoadThemeFile(*m_store, name)) return;

    Layout();
    m_manualZoom = false;
    ReapplyDisplayAdjustments(blur, tint, step);
    Refresh();
}
