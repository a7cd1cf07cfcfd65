// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What the window knows about its openings while they run: whether one is in progress and how
// many began (a wait compares the count to learn that another one came meanwhile), an opening
// that lists the file's folder once the image is in, the comment shown until that listing, the
// way through the image list, and the command line's image decoded before the window existed.

#include <QScopeGuard>
#include <QString>
#include <memory>
#include <optional>
#include <utility>

struct TEarlyImage;

class TOpeningState {
public:
    bool Busy() const { return m_busy; }
    unsigned Count() const { return m_count; }
    // Marks an opening until the returned guard goes; a nested opening ends the mark too.
    [[nodiscard]] auto Begin() {
        ++m_count;
        m_busy = true;
        return qScopeGuard([this] { m_busy = false; });
    }

    // While the image loads: whether its folder is listed after it.
    bool Rescanning() const { return m_rescanning; }
    [[nodiscard]] auto Loading(bool rescan) {
        m_rescanning = rescan;
        return qScopeGuard([this] { m_rescanning = false; });
    }

    // The comment drawn while the image list does not hold the opened file yet: its name when
    // names are shown, else none.
    const std::optional<QString>& UnlistedComment() const { return m_unlistedComment; }
    void SetUnlistedComment(const QString& path, bool namesShown);
    void ClearUnlistedComment() { m_unlistedComment.reset(); }

    // +1 forward through the image list, -1 backward.
    int Travel() const { return m_travel; }
    void SetTravel(bool forward) { m_travel = forward ? 1 : -1; }

    // The command line's image, handed over once to its opening.
    void SetEarly(std::shared_ptr<TEarlyImage> early) { m_early = std::move(early); }
    std::shared_ptr<TEarlyImage> TakeEarly() { return std::exchange(m_early, nullptr); }

private:
    bool m_busy = false;
    unsigned m_count = 0;
    bool m_rescanning = false;
    std::optional<QString> m_unlistedComment;
    int m_travel = 1;
    std::shared_ptr<TEarlyImage> m_early;
};
