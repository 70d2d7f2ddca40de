#pragma once

#include "data/fields.h"

#include <QString>
#include <QVariant>
#include <Qt>

// How every view shows one field: column title, display format, display values, width and
// alignment. Views (grids, edit dialogs, reports) share these attributes.
struct FieldDisplay
{
    QString field;
    QString title;
    // ",0.00": grouped thousands and two decimals; "000000000": zero-padded to nine digits.
    QString displayFormat;
    // "A;-": the texts for true and false of a Logical field.
    QString displayValues;
    int width = 0; // in characters; 0: the view decides
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    bool visible = true;

    // The value as the field shows it (Czech formats through CzechFormat).
    QString text(FieldType type, const QVariant &value) const;
};
