#pragma once

#include "preset/presetsnapshot.h"

#include <QUndoStack>
#include <functional>

// The editor's undo stack over whole snapshots of the tables: they are small, so a step simply holds the
// tables before and after it, whichever grid, satellite or command made it.
class PresetHistory {
public:
    // Puts a snapshot in place and shows satellite shownSat (the one the step was made on).
    using Restorer = std::function<void(const PresetSnapshot& snapshot, int shownSat)>;

    explicit PresetHistory(Restorer restore);

    [[nodiscard]] QUndoStack& Stack() { return m_stack; }

    // Adds a step from the state last recorded to now; nothing when the tables did not change. True for a step.
    bool Record(const QString& what, const PresetSnapshot& now, int shownSat);
    // The tables as last loaded, saved or copied: the base of IsModified.
    void MarkUnmodified(const PresetSnapshot& base);
    [[nodiscard]] bool IsModified() const { return !m_current.SameTables(m_unmodified); }
    [[nodiscard]] const PresetSnapshot& Unmodified() const { return m_unmodified; }

private:
    class Step;

    void Apply(const PresetSnapshot& snapshot, int shownSat);

    QUndoStack m_stack;
    Restorer m_restore;
    PresetSnapshot m_current;
    PresetSnapshot m_unmodified;
};
