#pragma once

class QLineEdit;
class QComboBox;

// Names and passwords end up in the 16-character fields of a Windows-1250 file: a field takes
// at most 16 characters and refuses, while typing, any it could not store.
void limitUserText(QLineEdit *edit);
void limitUserText(QComboBox *combo);
