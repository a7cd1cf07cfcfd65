// SPDX-License-Identifier: GPL-2.0-or-later
// The settings command: the settings dialog and what the window does after its OK.
#include "viewer/Main.h"

#include "dialogs/ParamsForm.h"

void TMainForm::RunSettingsDialog() {
    const bool patternWas = PatternShown();
    const bool blur = m_settings.bflou;
    const int tint = m_settings.teinte;
    const int step = m_settings.reglage;
    const bool autoScroll = m_settings.bsa;

    if (m_paramsForm == nullptr)
        m_paramsForm = new TParamsForm(
            *m_store, *this, [this] { return isMaximized(); }, this);
    if (!m_paramsForm->Execute()) return;

    Layout();
    ReapplyDisplayAdjustments(blur, tint, step);
    if (m_settings.bmotif != patternWas) {
        if (m_settings.bmotif)
            m_settings.bmotif = LoadPattern(m_settings.motif);
        else
            DiscardPattern();
    }
    m_manualZoom = false;
    ChooseThumbnailAlignment();
    Refresh();
    ScheduleReadAhead();
    if (!autoScroll && m_settings.bsa) AutoScrollAfterOpen();
}
