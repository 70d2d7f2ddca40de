#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

QIcon applicationIcon();

// The about box: product name and version from the version information, the maker and contacts.
class TFormAbout : public QDialog
{
    Q_OBJECT

public:
    explicit TFormAbout(QWidget *parent = nullptr);

    QLabel *ApplicationLabel() const { return m_applicationLabel; }
    QLabel *VersionLabel() const { return m_versionLabel; }
    QLabel *OSLabel() const { return m_osLabel; }
    QLabel *Image() const { return m_image; }
    QLabel *CompanyLabel() const { return m_companyLabel; }
    QLabel *ContactLabel() const { return m_contactLabel; }
    QPushButton *ButtonClose() const { return m_buttonClose; }

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // Refreshes the icon and the product and version lines whenever the box becomes active.
    void FormActivate();

    QLabel *m_applicationLabel;
    QLabel *m_versionLabel;
    QLabel *m_osLabel;
    QLabel *m_image;
    QLabel *m_companyLabel;
    QLabel *m_contactLabel;
    QPushButton *m_buttonClose;
};
