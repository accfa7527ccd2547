#pragma once

#include "core/data/datamodule.h"

// Pauses the data module's timer work (refreshes, reminders) for a modal
// window and gives back the state it found, also when an error interrupts:
// a timer refresh must not move tables under an open picker or dialog.
// Without a data module it does nothing.
class TimerWorkPause {
public:
    TimerWorkPause() {
        if (!HasDataModule1())
            return;
        m_wasEnabled = DataModule1().IsTimerWorkEnabled();
        DataModule1().DisableTimerWork();
    }
    ~TimerWorkPause() {
        if (m_wasEnabled && HasDataModule1())
            DataModule1().EnableTimerWork();
    }
    TimerWorkPause(const TimerWorkPause&) = delete;
    TimerWorkPause& operator=(const TimerWorkPause&) = delete;

private:
    bool m_wasEnabled = false;
};
