#pragma once

#include "core/messages/messagelist.h"

#include <QDialog>
#include <QPointer>

class QLabel;
class QListWidget;

// The floating list of progress lines.
class TF_Mess : public QDialog {
public:
    explicit TF_Mess(QWidget* parent = nullptr);

    QListWidget* Liste = nullptr;
    QLabel* Panel2 = nullptr;

    static constexpr int DesignedWidth = 420;
    static constexpr int DesignedHeight = 300;
};

// Shows the message list of the engine in a TF_Mess window; install with
// SetMessageListSink.
class MessageListWindowSink : public MessageListSink {
public:
    ~MessageListWindowSink() override;
    bool isOpen() const override;
    void open(const QString& caption, const QString& firstLine, int left, int top) override;
    void addLine(const QString& text) override;
    void setStatus(const QString& text) override;
    void setHeight(int value) override;
    void setWidth(int value) override;
    void close() override;

    // The open window, for tests (nullptr while closed).
    TF_Mess* window() const { return m_window; }

private:
    QPointer<TF_Mess> m_window;
    QSize m_designedSize;
};
