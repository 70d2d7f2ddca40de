#include "reports/formsalesolars.h"

#include "core/clock.h"
#include "core/czechformat.h"
#include "core/pricing.h"
#include "core/programvalues.h"
#include "core/solarsettings.h"
#include "data/tablemodel.h"
#include "desk/desk.h"
#include "desk/receiptdeletion.h"
#include "desk/salonschema.h"
#include "desk/settings/printsettings.h"
#include "reports/formqrsalesolartotala5.h"
#include "reports/formstatistics.h"
#include "reports/receiptprinting.h"
#include "reports/reportpreview.h"
#include "ui/common/integercombobox.h"
#include "ui/common/integeredit.h"
#include "ui/common/messagedialogs.h"
#include "ui/common/recordgrid.h"
#include "ui/common/windowhelpers.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <utility>

namespace {

const QStringList SortableFields = {SaleSolarsField::Paragon, SaleSolarsField::Date,
                                    SaleSolarsField::Time,    SaleSolarsField::Solar,
                                    SaleSolarsField::Price,   SaleSolarsField::Off,
                                    SaleSolarsField::Period,  SaleSolarsField::User};

TIntegerEdit *integerEdit(const QString &name, int min, int max, int value, QWidget *parent)
{
    auto *edit = named(new TIntegerEdit(parent), name);
    edit->setMax(max);
    edit->setMin(min);
    edit->setValue(value);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QString(max > 9999 ? 11 : 6, u'0')));
    return edit;
}

TIntegerComboBox *discountBox(const QString &name, const SolarSettings &settings, QWidget *parent)
{
    auto *box = named(new TIntegerComboBox(parent), name);
    box->setMax(100);
    box->addItems(settings.discounts());
    box->setEditText(settings.defaultDiscount());
    return box;
}

QTimeEdit *timeEdit(const QString &name, const QTime &time, QWidget *parent)
{
    auto *edit = named(new QTimeEdit(time, parent), name);
    edit->setDisplayFormat(QStringLiteral("H:mm:ss"));
    return edit;
}

// An empty field is a missing bound; reading may correct the text, which is no user's change.
std::optional<int> boundOf(TIntegerEdit *edit)
{
    const QSignalBlocker blocker(edit);
    return edit->text().isEmpty() ? std::nullopt : std::optional<int>(edit->value());
}

std::optional<int> boundOf(TIntegerComboBox *box)
{
    const QSignalBlocker blocker(box);
    return box->currentText().isEmpty() ? std::nullopt : std::optional<int>(box->value());
}

// A field's place in an index name: 1 for "PARAGON_" (descending), 2 for "_PARAGON".
qsizetype fieldPlace(const QString &indexName, const QString &field)
{
    return indexName.indexOf(field, 0, Qt::CaseInsensitive) + 1;
}

} // namespace

TFormSaleSolars::TFormSaleSolars(Desk &desk, const SolarSettings &solarSettings,
                                 const PrintSettings &printSettings,
                                 TCustomQRPreviewInterface &preview, const QStringList &userNames,
                                 QWidget *parent)
    : QDialog(parent), m_desk(desk), m_solarSettings(solarSettings), m_printSettings(printSettings),
      m_preview(preview)
{
    setObjectName(QStringLiteral("FormSaleSolars"));
    setWindowTitle(QStringLiteral(" Doklady a tržby"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    Table &sales = m_desk.tableSaleSolars();

    auto *layout = new QVBoxLayout(this);
    m_model = new TableModel(&sales, saleSolarsTable().visibleColumns(), this);
    m_grid = named(new RecordGrid(m_model, this), QStringLiteral("DBGridSaleSolars"));
    m_grid->horizontalHeader()->setSortIndicatorShown(true);
    m_grid->horizontalHeader()->setSectionsClickable(true);
    layout->addWidget(m_grid, 1);

    auto *figures = new QHBoxLayout;
    m_labelCustomers = named(new QLabel(this), QStringLiteral("LabelCustomers"));
    m_labelPrices = named(new QLabel(this), QStringLiteral("LabelPrices"));
    m_labelPrices->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    figures->addWidget(m_labelCustomers);
    figures->addWidget(m_labelPrices);
    layout->addLayout(figures);

    auto *controls = new QHBoxLayout;
    controls->addWidget(buildPeriodGroup());
    controls->addWidget(buildConditionsGroup());
    controls->addStretch();
    controls->addWidget(buildButtons());
    layout->addLayout(controls);

    m_comboBoxUser->addItems(userNames);
    m_comboBoxUser->setEditText(Program().CurrentUser);

    auto *deleteAction = new QAction(m_grid);
    deleteAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    deleteAction->setShortcutContext(Qt::WidgetShortcut);
    m_grid->addAction(deleteAction);
    connect(deleteAction, &QAction::triggered, this, &TFormSaleSolars::deleteReceipt);
    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &TFormSaleSolars::TitleClick);
    connect(m_grid, &QTableView::doubleClicked, this, &TFormSaleSolars::ButtonPrintParagonClick);
    connect(m_model, &QAbstractItemModel::modelReset, this, &TFormSaleSolars::showSortMarker);

    SaleSolarFilter();
    sales.last();
    connectFilterControls();
    resize(1040, 760);
}

TFormSaleSolars::~TFormSaleSolars() = default;

QWidget *TFormSaleSolars::buildPeriodGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Období"), this);
    auto *layout = new QGridLayout(group);
    const QList<std::pair<QString, QString>> periods = {
        {QStringLiteral("RadioButtonAll"), QStringLiteral("všechna období")},
        {QStringLiteral("RadioButtonToday"), QStringLiteral("dnešní den")},
        {QStringLiteral("RadioButtonWeek"), QStringLiteral("tento týden")},
        {QStringLiteral("RadioButtonMonth"), QStringLiteral("tento měsíc")},
        {QStringLiteral("RadioButtonYear"), QStringLiteral("tento rok")},
        {QStringLiteral("RadioButtonOther"), QStringLiteral("jiné období")}};
    for (const auto &[name, caption] : periods) {
        auto *button = named(new QRadioButton(caption, group), name);
        layout->addWidget(button, int(m_periodButtons.size()), 0);
        m_periodButtons.append(button);
    }
    m_periodButtons.at(int(SalesPeriod::Today))->setChecked(true);
    m_monthCalendarFirst = named(new QCalendarWidget(group), QStringLiteral("MonthCalendarFirst"));
    m_monthCalendarSecond =
        named(new QCalendarWidget(group), QStringLiteral("MonthCalendarSecond"));
    for (QCalendarWidget *calendar : {m_monthCalendarFirst, m_monthCalendarSecond}) {
        calendar->setLocale(QLocale(QLocale::Czech));
        calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
        calendar->setGridVisible(true);
    }
    layout->addWidget(m_monthCalendarFirst, 0, 1, int(periods.size()), 1);
    layout->addWidget(m_monthCalendarSecond, 0, 2, int(periods.size()), 1);
    return group;
}

QWidget *TFormSaleSolars::buildConditionsGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Podmínky"), this);
    auto *layout = new QGridLayout(group);
    m_checkBoxParagon = named(new QCheckBox(QStringLiteral("Prodejní doklady (od - do):"), group),
                              QStringLiteral("CheckBoxParagon"));
    m_integerEditParagonFirst =
        integerEdit(QStringLiteral("IntegerEditParagonFirst"), 0, 999999999, 0, group);
    m_integerEditParagonSecond =
        integerEdit(QStringLiteral("IntegerEditParagonSecond"), 0, 999999999, 999999999, group);
    m_checkBoxTime = named(new QCheckBox(QStringLiteral("Čas prodeje (od - do):"), group),
                           QStringLiteral("CheckBoxTime"));
    m_editTimeFirst = timeEdit(QStringLiteral("EditTimeFirst"), QTime(0, 0, 0), group);
    m_editTimeSecond = timeEdit(QStringLiteral("EditTimeSecond"), QTime(23, 59, 59), group);
    m_checkBoxSolar = named(new QCheckBox(QStringLiteral("Solárka (od - do):"), group),
                            QStringLiteral("CheckBoxSolar"));
    m_integerEditSolarFirst = integerEdit(QStringLiteral("IntegerEditSolarFirst"), 0, 8, 1, group);
    m_integerEditSolarSecond =
        integerEdit(QStringLiteral("IntegerEditSolarSecond"), 0, 8, 8, group);
    m_checkBoxOff = named(new QCheckBox(QStringLiteral("Sleva (od - do):"), group),
                          QStringLiteral("CheckBoxOff"));
    m_integerComboBoxOffFirst =
        discountBox(QStringLiteral("IntegerComboBoxOffFirst"), m_solarSettings, group);
    m_integerComboBoxOffSecond =
        discountBox(QStringLiteral("IntegerComboBoxOffSecond"), m_solarSettings, group);
    m_checkBoxPeriod = named(new QCheckBox(QStringLiteral("Čas (od - do):"), group),
                             QStringLiteral("CheckBoxPeriod"));
    m_integerEditPeriodFirst =
        integerEdit(QStringLiteral("IntegerEditPeriodFirst"), 0, 9999, 0, group);
    m_integerEditPeriodSecond =
        integerEdit(QStringLiteral("IntegerEditPeriodSecond"), 0, 9999, 9999, group);
    m_checkBoxUser =
        named(new QCheckBox(QStringLiteral("Uživatel:"), group), QStringLiteral("CheckBoxUser"));
    m_comboBoxUser = named(new QComboBox(group), QStringLiteral("ComboBoxUser"));
    m_comboBoxUser->setEditable(true);
    m_comboBoxUser->lineEdit()->setMaxLength(16);
    // The name is matched as typed: no completion that changes its letters.
    m_comboBoxUser->setCompleter(nullptr);
    m_comboBoxUser->setInsertPolicy(QComboBox::NoInsert);

    m_conditions = {{m_checkBoxParagon, m_integerEditParagonFirst, m_integerEditParagonSecond},
                    {m_checkBoxTime, m_editTimeFirst, m_editTimeSecond},
                    {m_checkBoxSolar, m_integerEditSolarFirst, m_integerEditSolarSecond},
                    {m_checkBoxOff, m_integerComboBoxOffFirst, m_integerComboBoxOffSecond},
                    {m_checkBoxPeriod, m_integerEditPeriodFirst, m_integerEditPeriodSecond},
                    {m_checkBoxUser, m_comboBoxUser, nullptr}};
    const QStringList units = {QString(),           QString(),           QString(),
                               QStringLiteral("%"), QStringLiteral("s"), QString()};
    for (int row = 0; row < m_conditions.size(); ++row) {
        const RangeControls &condition = m_conditions.at(row);
        layout->addWidget(condition.checkBox, row, 0);
        if (!condition.second) {
            layout->addWidget(condition.first, row, 1, 1, 4);
            continue;
        }
        layout->addWidget(condition.first, row, 1);
        layout->addWidget(new QLabel(units.at(row), group), row, 2);
        layout->addWidget(condition.second, row, 3);
        layout->addWidget(new QLabel(units.at(row), group), row, 4);
    }
    return group;
}

QWidget *TFormSaleSolars::buildButtons()
{
    auto *panel = new QWidget(this);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto button = [panel, layout](const QString &caption, const QString &name) {
        auto *made = named(new QPushButton(caption, panel), name);
        made->setAutoDefault(false);
        layout->addWidget(made);
        return made;
    };
    m_buttonPrintTotal =
        button(QStringLiteral("Tisk tržeb..."), QStringLiteral("ButtonPrintTotal"));
    m_buttonPrintParagon =
        button(QStringLiteral("Tisk dokladu..."), QStringLiteral("ButtonPrintParagon"));
    m_buttonPrintParagon->setDefault(true);
    layout->addSpacing(8);
    m_statisticButtons = {
        button(QStringLiteral("Denní statistika..."), QStringLiteral("ButtonStatisticDay")),
        button(QStringLiteral("Týdenní statistika..."), QStringLiteral("ButtonStatisticWeek")),
        button(QStringLiteral("Měsíční statistika..."), QStringLiteral("ButtonStatisticMonth")),
        button(QStringLiteral("Roční statistika..."), QStringLiteral("ButtonStatisticYear"))};
    layout->addStretch();
    QPushButton *close = button(QStringLiteral("Zavřít"), QStringLiteral("ButtonClose"));
    connect(m_buttonPrintTotal, &QPushButton::clicked, this,
            &TFormSaleSolars::ButtonPrintTotalClick);
    connect(m_buttonPrintParagon, &QPushButton::clicked, this,
            &TFormSaleSolars::ButtonPrintParagonClick);
    for (const Statistic statistic :
         {Statistic::Day, Statistic::Week, Statistic::Month, Statistic::Year}) {
        connect(m_statisticButtons.at(int(statistic)), &QPushButton::clicked, this,
                [this, statistic] { showStatistics(m_desk.tableSaleSolars(), statistic, this); });
    }
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    return panel;
}

void TFormSaleSolars::connectFilterControls()
{
    auto rebuild = [this] { SaleSolarFilter(); };
    // Every change of state rebuilds once, whatever made it: the mouse, the keyboard or an
    // accessibility action. A click on the period already chosen changes nothing and rebuilds
    // as a refresh.
    for (QRadioButton *button : std::as_const(m_periodButtons)) {
        connect(button, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked)
                SaleSolarFilter();
        });
        connect(button, &QRadioButton::pressed, this,
                [this, button] { m_periodClickRefreshes = button->isChecked(); });
        connect(button, &QRadioButton::clicked, this, [this] {
            if (std::exchange(m_periodClickRefreshes, false))
                SaleSolarFilter();
        });
    }
    for (QCalendarWidget *calendar : {m_monthCalendarFirst, m_monthCalendarSecond})
        connect(calendar, &QCalendarWidget::selectionChanged, this, rebuild);
    for (const RangeControls &condition : std::as_const(m_conditions))
        connect(condition.checkBox, &QCheckBox::toggled, this, rebuild);
    for (TIntegerEdit *edit :
         {m_integerEditParagonFirst, m_integerEditParagonSecond, m_integerEditSolarFirst,
          m_integerEditSolarSecond, m_integerEditPeriodFirst, m_integerEditPeriodSecond})
        connect(edit, &QLineEdit::textChanged, this, rebuild);
    for (QTimeEdit *edit : {m_editTimeFirst, m_editTimeSecond})
        connect(edit, &QTimeEdit::timeChanged, this, rebuild);
    for (QComboBox *box : {static_cast<QComboBox *>(m_integerComboBoxOffFirst),
                           static_cast<QComboBox *>(m_integerComboBoxOffSecond), m_comboBoxUser})
        connect(box, &QComboBox::editTextChanged, this, rebuild);
}

SalesPeriod TFormSaleSolars::period() const
{
    for (int i = 0; i < m_periodButtons.size(); ++i) {
        if (m_periodButtons.at(i)->isChecked())
            return SalesPeriod(i);
    }
    return SalesPeriod::All;
}

bool TFormSaleSolars::allPeriods() const
{
    return period() == SalesPeriod::All;
}

DateRange TFormSaleSolars::calendarDates() const
{
    return {m_monthCalendarFirst->selectedDate(), m_monthCalendarSecond->selectedDate()};
}

SalesFilterInput TFormSaleSolars::filterInput()
{
    SalesFilterInput input;
    input.allPeriods = allPeriods();
    input.dates = calendarDates();
    input.paragons = {m_checkBoxParagon->isChecked(), boundOf(m_integerEditParagonFirst),
                      boundOf(m_integerEditParagonSecond)};
    input.timeChecked = m_checkBoxTime->isChecked();
    input.timeFirst = m_editTimeFirst->time();
    input.timeSecond = m_editTimeSecond->time();
    input.solars = {m_checkBoxSolar->isChecked(), boundOf(m_integerEditSolarFirst),
                    boundOf(m_integerEditSolarSecond)};
    input.discounts = {m_checkBoxOff->isChecked(), boundOf(m_integerComboBoxOffFirst),
                       boundOf(m_integerComboBoxOffSecond)};
    input.periods = {m_checkBoxPeriod->isChecked(), boundOf(m_integerEditPeriodFirst),
                     boundOf(m_integerEditPeriodSecond)};
    input.userChecked = m_checkBoxUser->isChecked();
    input.user = m_comboBoxUser->currentText();
    return input;
}

void TFormSaleSolars::SaleSolarFilter()
{
    // A change that arrives while the figures are being made is taken once they are done.
    if (m_filtering) {
        m_filterAgain = true;
        return;
    }
    m_filtering = true;
    do {
        m_filterAgain = false;
        const SalesPeriod chosen = period();
        if (const std::optional<DateRange> range =
                periodRange(chosen, programClock().now().date())) {
            const QSignalBlocker first(m_monthCalendarFirst);
            const QSignalBlocker second(m_monthCalendarSecond);
            m_monthCalendarFirst->setSelectedDate(range->first);
            m_monthCalendarSecond->setSelectedDate(range->last);
        }
        m_monthCalendarFirst->setEnabled(chosen == SalesPeriod::Other);
        m_monthCalendarSecond->setEnabled(chosen == SalesPeriod::Other);
        for (const RangeControls &condition : std::as_const(m_conditions)) {
            for (QWidget *value : {condition.first, condition.second}) {
                if (value)
                    value->setEnabled(condition.checkBox->isChecked());
            }
        }
        applyFilter(salesFilter(filterInput()));
    } while (m_filterAgain);
    m_filtering = false;
}

void TFormSaleSolars::applyFilter(const Filter &filter)
{
    Table &sales = m_desk.tableSaleSolars();
    const Bookmark remembered = sales.bookmark();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // The grid reloads once, after the figures.
    sales.disableControls();
    qint64 count = 0;
    double sum = 0;
    const bool filtered = sales.setFilter(filter) && sales.setFiltered(!filter.isEmpty());
    // Back on the remembered record before counting, so that the count also finds its place. A
    // record that no longer passes leaves the cursor on the last one, where a walk would end.
    if (filtered && (remembered.isNull() || !sales.gotoBookmark(remembered)))
        sales.last();
    const bool counted = filtered && sales.countAndSum(SaleSolarsField::PriceTotal, &count, &sum);
    sales.enableControls();
    QApplication::restoreOverrideCursor();
    ShowDatabaseError(counted);
    m_labelCustomers->setText(QStringLiteral(" Zákazníků: %1").arg(count));
    m_labelPrices->setText(QStringLiteral(" Celkem: %1").arg(CzechFormat::money(RoundPrice(sum))));
    m_buttonPrintParagon->setEnabled(count != 0);
    m_buttonPrintTotal->setEnabled(count != 0);
}

void TFormSaleSolars::TitleClick(int column)
{
    if (column < 0 || column >= m_model->columnCount())
        return;
    const QString field = m_model->column(column).field;
    if (!SortableFields.contains(field))
        return;
    Table &sales = m_desk.tableSaleSolars();
    const bool descending = fieldPlace(sales.indexName(), field) == 2;
    const QString index = descending ? field + QLatin1Char('_') : QLatin1Char('_') + field;
    ShowDatabaseError(sales.setIndexName(index));
}

void TFormSaleSolars::showSortMarker()
{
    const QString indexName = m_desk.tableSaleSolars().indexName();
    QHeaderView *titles = m_grid->horizontalHeader();
    for (int column = 0; column < m_model->columnCount(); ++column) {
        const QString field = m_model->column(column).field;
        if (!SortableFields.contains(field))
            continue;
        // Qt draws the descending marker for AscendingOrder: its arrow points down.
        const qsizetype place = fieldPlace(indexName, field);
        if (place == 1 || place == 2) {
            titles->setSortIndicator(column, place == 1 ? Qt::AscendingOrder : Qt::DescendingOrder);
            return;
        }
    }
    titles->setSortIndicator(-1, Qt::AscendingOrder);
}

void TFormSaleSolars::ButtonPrintParagonClick()
{
    if (!m_buttonPrintParagon->isEnabled())
        return;
    ReceiptPrinting(m_desk.tableSaleSolars(), m_printSettings, m_preview)
        .PrintReceipt(ReceiptPrinting::Mode::Preview);
}

void TFormSaleSolars::ButtonPrintTotalClick()
{
    Table &sales = m_desk.tableSaleSolars();
    const Bookmark remembered = sales.bookmark();
    sales.disableControls();
    const DateRange dates = calendarDates();
    const PageStore totals =
        TFormQRSaleSolarTotalA5(sales, {allPeriods(), dates.first, dates.last},
                                receiptTextsOf(m_printSettings), m_solarSettings.taxRate())
            .layOut();
    m_preview.preview(totals);
    if (!remembered.isNull())
        sales.gotoBookmark(remembered); // fails quietly when the record is gone
    sales.enableControls();
}

void TFormSaleSolars::deleteReceipt()
{
    Table &sales = m_desk.tableSaleSolars();
    if (!sales.hasCurrentRecord())
        return;
    const QString receipt =
        CzechFormat::receiptNumber(sales.value(SaleSolarsField::Paragon).toLongLong());
    if (!ShowQuestion(QStringLiteral("Delete record?"), QStringLiteral("Doklad %1").arg(receipt),
                      false))
        return;
    if (::deleteCurrentReceipt(m_desk, Program().CurrentUser))
        SaleSolarFilter();
}

void TFormSaleSolars::done(int result)
{
    Table &sales = m_desk.tableSaleSolars();
    sales.setFiltered(false);
    sales.setIndexName(QString());
    QDialog::done(result);
}
