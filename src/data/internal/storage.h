#pragma once

// Engine-internal: how field values and columns look inside the SQLite files.

#include "data/engineerror.h"
#include "data/fields.h"

#include <optional>

namespace Storage {

// Identifier in double quotes, inner quotes doubled.
QString quoted(const QString &identifier);

// Column definition for CREATE TABLE: declared type carrying the engine type, NOT NULL, the
// type's default and a CHECK constraint that enforces the type's range or length.
QString columnSql(const FieldDefinition &field);

// Reads an engine type back from a declared column type ("ALPHA TEXT(32)" -> Alpha, 32).
// Types that the engine did not declare get the type their SQLite affinity suggests.
FieldDefinition fieldFromDeclaration(const QString &name, const QString &declaredType);

// Converts a caller's value to the stored form (integer, real or text); a null QVariant gives
// the field's default. False with *error set (Czech text naming the field) when it does not fit.
bool toStorage(const FieldDefinition &field, const QVariant &value, QVariant *stored,
               EngineError *error);

// Converts a stored value to the field's QVariant form.
QVariant fromStorage(const FieldDefinition &field, const QVariant &stored);

} // namespace Storage
