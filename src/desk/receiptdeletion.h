#pragma once

#include <QString>

class Desk;

// Deletes the receipt the browsing cursor stands on as one change of the desk: the event log
// keeps its number, total and the user who deleted it, so that no receipt disappears without a
// trace, and the tables are saved at once. False, after the engine's error has been reported,
// when the receipt could not be deleted.
bool deleteCurrentReceipt(Desk &desk, const QString &user);
