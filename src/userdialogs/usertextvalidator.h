#pragma once

class QLineEdit;
class QComboBox;

// Names and passwords end up in the 16-character fields of a Windows-1250 file: a field takes
// at most 16 characters and refuses, while typing, any it could not store.
void limitUserText(QLineEdit *edit);

// An editable box offering the registered names. The name is taken exactly as typed: completion
// only adds what a registered name continues with in the same letter case, and leaving the box
// never swaps the text for a registered name of another case ("administrator" is not the
// built-in "Administrator").
void makeUserNameBox(QComboBox *combo);
