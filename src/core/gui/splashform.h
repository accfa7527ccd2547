#pragma once

#include "core/messages/splashstatus.h"

#include <QWidget>

class QFrame;
class QLabel;

// The start-up screen: covers the screen while the program starts and stays
// afterwards as an optional background picture behind the main window.
class TSplashForm : public QWidget, public SplashStatusSink {
public:
    explicit TSplashForm(QWidget* parent = nullptr);
    ~TSplashForm() override;

    void setStatusText(const QString& text) override;
    // The panel shown while a client is created or upgraded, with its step.
    void showMandantPanel(const QString& step);
    void hideMandantPanel();
    // The end of the start-up: the start texts and picture give way to the
    // full-size background picture.
    void showBackgroundOnly();

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    QFrame* Bevel1 = nullptr;
    QWidget* Panel1 = nullptr;
    QWidget* PanelMandant = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormCreate();
    void layoutChildren();
};

// The one start-up screen of the run (nullptr before it is created and after
// it is freed).
extern TSplashForm* SplashForm;

// Creates the start-up screen; shown at once unless NoSplash.
void CreateSplash();
void FreeSplash();
// Shows or hides it behind all other windows at the given width.
void ShowSplash(bool visible, int width);
