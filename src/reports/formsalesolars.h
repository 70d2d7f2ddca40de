#pragma once

#include "reports/logic/salesfilter.h"

#include <QDialog>

class Desk;
class PrintSettings;
class QCalendarWidget;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTimeEdit;
class RecordGrid;
class SolarSettings;
class TCustomQRPreviewInterface;
class TIntegerComboBox;
class TIntegerEdit;
class TableModel;

// " Doklady a tržby": the receipts of the desk's browsing cursor, narrowed by a period and
// further conditions, sorted by a title click, counted and summed, printed one by one or as the
// day-by-day totals, and charted. The filter, order and current record are the shared cursor's,
// which the reports and statistics walk; closing takes the filter off and restores the primary
// order.
class TFormSaleSolars : public QDialog
{
    Q_OBJECT

public:
    TFormSaleSolars(Desk &desk, const SolarSettings &solarSettings,
                    const PrintSettings &printSettings, TCustomQRPreviewInterface &preview,
                    const QStringList &userNames, QWidget *parent = nullptr);
    ~TFormSaleSolars() override;

    // What the reports and statistics read of the browser.
    bool allPeriods() const;
    DateRange calendarDates() const;

    void SaleSolarFilter();
    void TitleClick(int column);
    void ButtonPrintParagonClick();
    void ButtonPrintTotalClick();

    void done(int result) override;

private:
    struct RangeControls
    {
        QCheckBox *checkBox;
        QWidget *first;
        QWidget *second;
    };

    QWidget *buildPeriodGroup();
    QWidget *buildConditionsGroup();
    QWidget *buildButtons();
    void connectFilterControls();
    SalesPeriod period() const;
    SalesFilterInput filterInput();
    void applyFilter(const Filter &filter);
    void showSortMarker();
    void deleteReceipt(); // Ctrl+Delete

    Desk &m_desk;
    const SolarSettings &m_solarSettings;
    const PrintSettings &m_printSettings;
    TCustomQRPreviewInterface &m_preview;

    TableModel *m_model = nullptr;
    RecordGrid *m_grid = nullptr;
    QLabel *m_labelCustomers = nullptr;
    QLabel *m_labelPrices = nullptr;

    QList<QRadioButton *> m_periodButtons; // in the order of SalesPeriod
    QCalendarWidget *m_monthCalendarFirst = nullptr;
    QCalendarWidget *m_monthCalendarSecond = nullptr;

    QCheckBox *m_checkBoxParagon = nullptr;
    TIntegerEdit *m_integerEditParagonFirst = nullptr;
    TIntegerEdit *m_integerEditParagonSecond = nullptr;
    QCheckBox *m_checkBoxTime = nullptr;
    QTimeEdit *m_editTimeFirst = nullptr;
    QTimeEdit *m_editTimeSecond = nullptr;
    QCheckBox *m_checkBoxSolar = nullptr;
    TIntegerEdit *m_integerEditSolarFirst = nullptr;
    TIntegerEdit *m_integerEditSolarSecond = nullptr;
    QCheckBox *m_checkBoxOff = nullptr;
    TIntegerComboBox *m_integerComboBoxOffFirst = nullptr;
    TIntegerComboBox *m_integerComboBoxOffSecond = nullptr;
    QCheckBox *m_checkBoxPeriod = nullptr;
    TIntegerEdit *m_integerEditPeriodFirst = nullptr;
    TIntegerEdit *m_integerEditPeriodSecond = nullptr;
    QCheckBox *m_checkBoxUser = nullptr;
    QComboBox *m_comboBoxUser = nullptr;
    QList<RangeControls> m_conditions;

    QPushButton *m_buttonPrintTotal = nullptr;
    QPushButton *m_buttonPrintParagon = nullptr;
    QList<QPushButton *> m_statisticButtons; // in the order of Statistic

    bool m_filtering = false;            // a rebuild runs
    bool m_filterAgain = false;          // a control changed meanwhile: rebuild once more after it
    bool m_periodClickRefreshes = false; // the pressed period button was already chosen
};
