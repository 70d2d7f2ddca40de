#pragma once

#include "data/fields.h"
#include "desk/salonrecords.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class CurrencyEdit;
class TIntegerEdit;
class Table;

// " Editace solárka": one unit's row of the Solars table. The dialog shows the row it is given
// and keeps its edits to itself until writeChanges(), so that nothing reaches the table before
// "Ok" (the units go on counting down, and a sale may post the table meanwhile).
class TFormSetupSolarEdit : public QDialog
{
    Q_OBJECT

public:
    // record: the unit's row as it is being edited (with its calculated fields).
    explicit TFormSetupSolarEdit(const Record &record, QWidget *parent = nullptr);

    int unit() const;

    // Sets, in the table's edit buffer, the fields whose values were changed in the dialog;
    // untouched fields keep what the table holds. False when the table refuses a value (the
    // engine's last error tells why).
    bool writeChanges(Table &table) const;

private:
    void ButtonCounterResetClick();
    void ButtonStartupResetClick();
    void showCounterHours();

    const UnitRecord m_original;
    qint64 m_counter; // the original's, or reset by "Vynulovat"
    QLabel *m_textSolar;
    QLineEdit *m_editDescription;
    CurrencyEdit *m_currencyEditPrice;
    QLabel *m_textCounterHours;
    TIntegerEdit *m_integerEditStartup;
    QCheckBox *m_checkBoxActive;
};
