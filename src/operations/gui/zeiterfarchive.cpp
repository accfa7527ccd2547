#include "operations/gui/zeiterfarchive.h"

#include "commercial/companysettings.h"
#include "core/data/berichteprompt.h"
#include "core/data/datamodule.h"
#include "core/messages/messages.h"
#include "core/values/conversions.h"
#include "core/values/datetimevalue.h"
#include "datasafety/autobackup.h"
#include "datasafety/documentarchive/archiveconnection.h"
#include "masterdata/dialogs/tf_daterange.h"
#include "operations/archivedtimerecords.h"
#include "operations/gui/tf_zeiterf.h"
#include "operations/timerecordarchive.h"
#include "platform/widgets/datagrid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// "PanelCount" over the middle of the window, the wait cursor and the run
// buttons disabled while it exists; each button gets its own state back.
class ArchivePanel {
public:
    explicit ArchivePanel(TF_Zeiterf& window) {
        for (const auto* name : {u"BitBtn1", u"BitBtn2", u"sbtnPrintObj", u"sbtnPrintPers",
                                 u"sbtnImport", u"sbtnChipdrive"})
            if (QPushButton* b = window.button(QString::fromUtf16(name))) {
                m_buttons.push_back({b, b->isEnabled()});
                b->setEnabled(false);
            }
        m_panel = new QFrame(&window);
        m_panel->setObjectName(u"PanelCount"_s);
        m_panel->setFrameShape(QFrame::Panel);
        m_panel->setFrameShadow(QFrame::Raised);
        m_panel->setAutoFillBackground(true);
        auto* column = new QVBoxLayout(m_panel);
        m_title = new QLabel(u"Datenauslagerung"_s, m_panel);
        m_title->setObjectName(u"Label15"_s);
        m_title->setAlignment(Qt::AlignCenter);
        m_count = new QLabel(IntToStrWidth(0, 5), m_panel);
        m_count->setObjectName(u"lbCount"_s);
        m_count->setAlignment(Qt::AlignCenter);
        QFont big = m_count->font();
        big.setPointSizeF(big.pointSizeF() * 1.5);
        big.setBold(true);
        m_title->setFont(big);
        m_count->setFont(big);
        column->addWidget(m_title);
        column->addWidget(m_count);
        m_panel->resize(260, 90);
        m_panel->move((window.width() - m_panel->width()) / 2,
                      (window.height() - m_panel->height()) / 2);
        m_panel->show();
        m_panel->raise();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        repaint();
    }
    ~ArchivePanel() {
        QApplication::restoreOverrideCursor();
        delete m_panel;
        for (const auto& [button, enabled] : m_buttons)
            button->setEnabled(enabled);
    }
    ArchivePanel(const ArchivePanel&) = delete;
    ArchivePanel& operator=(const ArchivePanel&) = delete;

    void show(TimeArchivePhase phase, int count) {
        if (phase == TimeArchivePhase::CostEntries && !m_costPhase) {
            m_costPhase = true;
            m_title->setText(u"Kosteneinträge löschen"_s);
            m_count->setText(IntToStrWidth(count, 5));
            repaint();
            return;
        }
        m_count->setText(IntToStrWidth(count, 5));
        // A repaint costs more than a record: the counter moves visibly, no more.
        if (m_shown.elapsed() >= 40)
            repaint();
    }

private:
    // Only painting: the buttons of the window stay unpressable while the
    // run's transaction is open.
    void repaint() {
        m_shown.restart();
        m_panel->repaint();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

    QFrame* m_panel = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_count = nullptr;
    std::vector<std::pair<QPushButton*, bool>> m_buttons;
    bool m_costPhase = false;
    QElapsedTimer m_shown;
};

} // namespace

void ArchiveZeiterfFrom(TF_Zeiterf& window, const QDate& limit) {
    OfferAutomaticBackup(
        CompanyFlag(DataModule1(), u"F_AutoSichernAblage"_s) ? AutoBackupSwitch::Unasked
                                                             : AutoBackupSwitch::Ask,
        u"Datenübertragung"_s,
        AutoBackupComment(u"Autosicherung vor Auslagerung der Arbeitszeiten am  "_s));
    window.timeGrid().viewport()->update();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    TimeArchiveResult result;
    {
        ArchivePanel panel(window);
        ArchiveConnection connection;
        result = ArchiveZeiterf(connection, limit, [&panel](TimeArchivePhase phase, int count) {
            panel.show(phase, count);
        });
    }
    window.SetDayFilter(window.formDate());
    ShowInfo(u"Es wurden %1 Berichtssätze in die Datenablage überstellt."_s.arg(result.moved));
}

void RunZeiterfArchive(TF_Zeiterf& window) {
    const QDate last = GetLastZeiterfDatum();
    if (!last.isValid()) {
        ShowError(u"Es wurden noch keine Arbeitszeitdaten erfasst!"_s);
        return;
    }
    TDateTime limit = DateTimeOfDate(ProposedZeiterfArchiveLimit(QDate::currentDate()));
    if (!EnterLimitDate(limit, window.x() + 542, window.y() + 376, DateTimeOfDate(last),
                        u"Arbeitszeiten auslagern bis einschließlich"_s,
                        u"Arbeitszeiten sind erfasst bis einschließlich"_s))
        return;
    ArchiveZeiterfFrom(window, DateOfDateTime(limit));
}
