#include "preset/presethistory.h"

// A step is made after its change happened, so its first redo (the push) has nothing to do.
class PresetHistory::Step : public QUndoCommand {
public:
    Step(PresetHistory& history, const QString& what, PresetSnapshot before, PresetSnapshot after, int shownSat)
        : QUndoCommand(what)
        , m_history(history)
        , m_before(std::move(before))
        , m_after(std::move(after))
        , m_shownSat(shownSat)
    {
    }

    void undo() override { m_history.Apply(m_before, m_shownSat); }
    void redo() override
    {
        if (!std::exchange(m_pushed, true))
            return;
        m_history.Apply(m_after, m_shownSat);
    }

private:
    PresetHistory& m_history;
    PresetSnapshot m_before;
    PresetSnapshot m_after;
    int m_shownSat;
    bool m_pushed = false;
};

PresetHistory::PresetHistory(Restorer restore)
    : m_restore(std::move(restore))
    , m_current(PresetSnapshot::OfTables())
    , m_unmodified(m_current)
{
    // Each step holds two copies of the tables, about 13 KB.
    m_stack.setUndoLimit(500);
}

bool PresetHistory::Record(const QString& what, const PresetSnapshot& now, int shownSat)
{
    if (now.SameTables(m_current))
        return false;
    PresetSnapshot before = std::exchange(m_current, now);
    m_stack.push(new Step(*this, what, std::move(before), now, shownSat));
    return true;
}

void PresetHistory::MarkUnmodified(const PresetSnapshot& base)
{
    m_unmodified = base;
}

void PresetHistory::Apply(const PresetSnapshot& snapshot, int shownSat)
{
    m_current = snapshot;
    m_restore(snapshot, shownSat);
}
