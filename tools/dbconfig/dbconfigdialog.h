#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;

// The set-up tool's window: register the alias, create a fresh installation, choose the port
// back end. Shows the current values of engine.conf.
class DbConfigDialog : public QDialog
{
    Q_OBJECT

public:
    explicit DbConfigDialog(QWidget *parent = nullptr);

    QLineEdit *aliasDirectoryEdit() const { return m_aliasDirectory; }
    QLineEdit *netDirectoryEdit() const { return m_netDirectory; }
    QLineEdit *createDirectoryEdit() const { return m_createDirectory; }
    QComboBox *backendCombo() const { return m_backend; }
    QLabel *statusLabel() const { return m_status; }

    void saveAlias();
    void createTables();
    void saveBackend();

private:
    QWidget *directoryRow(QLineEdit *edit);
    void report(bool ok, const QString &message);

    QLineEdit *m_aliasDirectory = nullptr;
    QLineEdit *m_netDirectory = nullptr;
    QLineEdit *m_createDirectory = nullptr;
    QComboBox *m_backend = nullptr;
    QLabel *m_status = nullptr;
};
