#pragma once

#include "users/userregister.h"

#include <QDialog>

#include <functional>

class QPushButton;
class QTreeWidget;

// " Uživatelé": the editor of the user register's names, passwords and rights. The register that
// logins and rights checks read is the session's; the window edits it in place.
class TFormUser : public QDialog
{
    Q_OBJECT

public:
    TFormUser(UserRegister &users, const QString &usersFilePath, QWidget *parent = nullptr);

    const UserRegister &users() const { return m_users; }

    // Where the window writes its lines for the event log (a damaged file kept aside).
    void setEventLog(std::function<void(const QString &)> addLog);

    // Replaces the register by the file; a missing or damaged file is reported and leaves the
    // register empty, so that only the built-in administrator can log in.
    UserRegister::LoadResult OpenUsers();
    FileResult SaveUsers();

    // "Ok" saves first (a failed save keeps the window open and the edits with it); any other
    // way of closing reloads the register from its file, dropping the edits.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormActivate(); // SetSelectedUser, then SetButtons
    void SetSelectedUser();
    void SetButtons();
    void fillList();
    int selectedRow() const;
    void selectRow(int row, bool focus);
    bool toggleRightAt(const QPoint &position);

    void ButtonAddClick();
    void ButtonDeleteClick();
    void ButtonEditClick();

    QString m_usersFilePath;
    std::function<void(const QString &)> m_addLog;
    UserRegister &m_users;
    QTreeWidget *m_listViewUsers;
    QPushButton *m_buttonAdd;
    QPushButton *m_buttonDelete;
    QPushButton *m_buttonEdit;
};

// Replaces the register by the file; a missing or damaged file is reported and leaves the
// register empty, so that only the built-in administrator can log in.
UserRegister::LoadResult OpenUsers(UserRegister &users, const QString &usersFilePath);

class QAbstractItemView;

// Gives a list's column header the 9-pixel "Microsoft Sans Serif" face, keeping the rest of its
// font.
void SetListViewFont(QAbstractItemView *listView);
