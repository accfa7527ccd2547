#include "core/gui/splashform.h"

#include "core/settings/programsettings.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

using namespace Qt::StringLiterals;

TSplashForm* SplashForm = nullptr;

namespace {

const QColor kBackground(136, 136, 255);
constexpr int kPictureWidth = 210;
constexpr int kPictureHeight = 208;

QPixmap productPicture(const QSize& size) {
    QPixmap picture(size);
    picture.fill(kBackground.darker(130));
    QPainter painter(&picture);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setBold(true);
    font.setPointSize(qMax(8, size.height() / 8));
    painter.setFont(font);
    painter.drawText(picture.rect(), Qt::AlignCenter, u"Domvera"_s);
    return picture;
}

QLabel* whiteLabel(QWidget* parent, const QString& text, bool bold = false) {
    auto* label = new QLabel(text, parent);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(palette);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

} // namespace

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint) {
    Panel1 = new QWidget(this);
    Panel1->setAutoFillBackground(true);
    QPalette palette = Panel1->palette();
    palette.setColor(QPalette::Window, kBackground);
    palette.setColor(QPalette::WindowText, Qt::white);
    Panel1->setPalette(palette);

    Image1 = new QLabel(Panel1);
    Image1->setFixedSize(kPictureWidth, kPictureHeight);
    Image1->setScaledContents(true);
    Image1->setPixmap(productPicture(Image1->size()));
    Label3 = whiteLabel(Panel1, QString(), true);
    Bevel1 = new QFrame(Panel1);
    Bevel1->setFrameShape(QFrame::HLine);
    Label1 = whiteLabel(Panel1, u"Programm wird geladen ..."_s);
    Label2 = whiteLabel(Panel1, QString());

    PanelMandant = new QWidget(Panel1);
    PanelMandant->setAutoFillBackground(true);
    auto* mandantText =
        new QLabel(u"Mandant wird angelegt. Einen Moment bitte...   "_s, PanelMandant);
    Label4 = new QLabel(PanelMandant);
    mandantText->move(8, 8);
    Label4->move(8, 32);
    PanelMandant->resize(360, 64);
    mandantText->resize(344, 20);
    Label4->resize(344, 20);
    PanelMandant->hide();

    Image2 = new QLabel(Panel1);
    Image2->setScaledContents(true);
    Image2->hide();

    FormCreate();
    SetSplashStatusSink(this);
}

TSplashForm::~TSplashForm() {
    SetSplashStatusSink(nullptr);
}

void TSplashForm::FormCreate() {
    setEnabled(false);
    QRect screen(0, 0, 1024, 768);
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        screen = primary->geometry();
    setGeometry(0, 0, screen.width(), qMax(1, screen.height() - 64));
    Label3->setText(u"Domvera  "_s + VersionText);
    Label2->setText(u"Statusmeldungen:"_s);
    layoutChildren();
}

void TSplashForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutChildren();
}

void TSplashForm::layoutChildren() {
    Panel1->setGeometry(rect());
    const int x = (width() - Image1->width()) / 2;
    const int y = (height() - Image1->height()) / 2;
    Image1->move(x, y);
    Label3->adjustSize();
    Label3->move((width() - Label3->width()) / 2, qMax(0, y - 60));
    Bevel1->setGeometry(x, qMax(0, y - 36), Image1->width(), 2);
    Label1->adjustSize();
    Label1->move((width() - Label1->width()) / 2, qMax(0, y - 30));
    Label2->resize(qMax(Image1->width(), width() / 2), Label2->sizeHint().height());
    Label2->move((width() - Label2->width()) / 2, y + Image1->height());
    PanelMandant->move((width() - PanelMandant->width()) / 2,
                       (height() - PanelMandant->height()) / 2);
    Image2->setGeometry(rect());
    if (Image2->pixmap().isNull() || Image2->pixmap().size() != size())
        Image2->setPixmap(productPicture(size()));
}

void TSplashForm::setStatusText(const QString& text) {
    Label2->setText(text);
}

void TSplashForm::showMandantPanel(const QString& step) {
    Label4->setText(step);
    PanelMandant->show();
    PanelMandant->raise();
}

void TSplashForm::hideMandantPanel() {
    PanelMandant->hide();
}

void TSplashForm::showBackgroundOnly() {
    for (QWidget* w : {static_cast<QWidget*>(Label3), static_cast<QWidget*>(Label1),
                       static_cast<QWidget*>(Bevel1), static_cast<QWidget*>(Image1),
                       static_cast<QWidget*>(Label2)})
        w->hide();
    Image2->show();
}

void CreateSplash() {
    if (SplashForm)
        return;
    SplashForm = new TSplashForm;
    if (!NoSplash) {
        SplashForm->show();
        SplashForm->repaint();
        QCoreApplication::processEvents();
    }
}

void FreeSplash() {
    if (!SplashForm)
        return;
    SplashForm->hide();
    delete SplashForm;
    SplashForm = nullptr;
}

void ShowSplash(bool visible, int width) {
    if (!SplashForm)
        return;
    SplashForm->resize(width, SplashForm->height());
    SplashForm->setVisible(visible);
    SplashForm->lower();
}
