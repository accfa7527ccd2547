#include "core/messages/splashstatus.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace {
SplashStatusSink* g_sink = nullptr;
}

SplashStatusSink* SetSplashStatusSink(SplashStatusSink* sink) {
    SplashStatusSink* previous = g_sink;
    g_sink = sink;
    return previous;
}

void SetSplashStatusText(const QString& text) {
    if (!g_sink)
        return;
    g_sink->setStatusText(text);
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

void SetSplashStatus(const QString& name) {
    SetSplashStatusText(u"Initialisierung: "_s + name);
}
