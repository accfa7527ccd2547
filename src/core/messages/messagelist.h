#pragma once

#include <QString>

// The floating list of progress lines that long runs fill. Engine code calls
// the free functions; a window sink installed by the GUI shows them. All of
// them do nothing while MessageListEnabled is false.
extern bool MessageListEnabled;

class MessageListSink {
public:
    virtual ~MessageListSink() = default;
    virtual bool isOpen() const = 0;
    virtual void open(const QString& caption, const QString& firstLine, int left, int top) = 0;
    virtual void addLine(const QString& text) = 0;
    virtual void setStatus(const QString& text) = 0;
    virtual void setHeight(int value) = 0;
    virtual void setWidth(int value) = 0;
    virtual void close() = 0;
};
MessageListSink* SetMessageListSink(MessageListSink* sink);

void OpenMessageList(const QString& caption, const QString& firstLine, int left, int top);
void AddMessageLine(const QString& text);
void SetMessageListStatus(const QString& text);
void SetMessageListHeight(int value);
void SetMessageListWidth(int value);
void CloseMessageList();
