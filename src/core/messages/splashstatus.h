#pragma once

#include <QString>

// The status line of the start-up screen, reachable from engine code. The
// start-up screen installs itself as the sink while it exists; without it the
// calls do nothing.
class SplashStatusSink {
public:
    virtual ~SplashStatusSink() = default;
    virtual void setStatusText(const QString& text) = 0;
};
SplashStatusSink* SetSplashStatusSink(SplashStatusSink* sink);

// "Initialisierung: " + name on the status line.
void SetSplashStatus(const QString& name);
// Any text on the status line (the data module's table-opening texts).
void SetSplashStatusText(const QString& text);
