#include "core/messages/messagelist.h"

#include <QCoreApplication>

bool MessageListEnabled = false;

namespace {

MessageListSink* g_sink = nullptr;

void processPendingMessages() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

bool listIsOpen() {
    return g_sink && g_sink->isOpen();
}

} // namespace

MessageListSink* SetMessageListSink(MessageListSink* sink) {
    MessageListSink* previous = g_sink;
    g_sink = sink;
    return previous;
}

void OpenMessageList(const QString& caption, const QString& firstLine, int left, int top) {
    if (!MessageListEnabled || !g_sink || g_sink->isOpen())
        return;
    g_sink->open(caption, firstLine, left, top);
}

void AddMessageLine(const QString& text) {
    if (!MessageListEnabled)
        return;
    if (listIsOpen())
        g_sink->addLine(text);
    processPendingMessages();
}

void SetMessageListStatus(const QString& text) {
    if (!MessageListEnabled || !listIsOpen())
        return;
    g_sink->setStatus(text);
    processPendingMessages();
}

void SetMessageListHeight(int value) {
    if (!MessageListEnabled || !listIsOpen())
        return;
    g_sink->setHeight(value);
    processPendingMessages();
}

void SetMessageListWidth(int value) {
    if (!MessageListEnabled || !listIsOpen())
        return;
    g_sink->setWidth(value);
    processPendingMessages();
}

void CloseMessageList() {
    if (!MessageListEnabled || !listIsOpen())
        return;
    g_sink->close();
}
