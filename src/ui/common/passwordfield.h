#pragma once

class QLineEdit;

// A password field whose characters all show as "*", whatever mask the platform's style uses.
void showAsPassword(QLineEdit *edit);
