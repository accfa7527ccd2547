#pragma once

#include "core/data/datamodule.h"

#include <optional>

// Pauses the data module's timer work (refreshes, reminders) for a modal
// window and gives back the state it found, also when an error interrupts:
// a timer refresh must not move tables under an open picker or dialog.
// Without a data module it does nothing.
class TimerWorkPause {
public:
    TimerWorkPause() : TimerWorkPause(HasDataModule1() ? &DataModule1() : nullptr) {}
    // The given data module's timer work.
    explicit TimerWorkPause(TDataModule1& dm) : TimerWorkPause(&dm) {}
    ~TimerWorkPause() {
        if (m_wasEnabled)
            m_dm->EnableTimerWork();
    }
    TimerWorkPause(const TimerWorkPause&) = delete;
    TimerWorkPause& operator=(const TimerWorkPause&) = delete;

private:
    explicit TimerWorkPause(TDataModule1* dm) : m_dm(dm) {
        if (!m_dm)
            return;
        m_wasEnabled = m_dm->IsTimerWorkEnabled();
        m_dm->DisableTimerWork();
    }

    TDataModule1* m_dm = nullptr;
    bool m_wasEnabled = false;
};

// Holds the timer work off while a detail grid or one of its fields has the
// focus: enter() pauses it, leave() gives back the state enter() found, also
// when the hold ends with its owner. Repeated enters keep the first state.
class TimerWorkHold {
public:
    TimerWorkHold() = default;
    ~TimerWorkHold() { leave(); }
    TimerWorkHold(const TimerWorkHold&) = delete;
    TimerWorkHold& operator=(const TimerWorkHold&) = delete;

    void enter() {
        if (!m_pause)
            m_pause.emplace();
    }
    void leave() { m_pause.reset(); }
    bool holding() const { return m_pause.has_value(); }

private:
    std::optional<TimerWorkPause> m_pause;
};
