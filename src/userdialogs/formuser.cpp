#include "userdialogs/formuser.h"

#include "core/programvalues.h"
#include "ui/common/messagedialogs.h"
#include "ui/common/versioninfo.h"
#include "ui/common/windowhelpers.h"
#include "userdialogs/userdialogs.h"
#include "users/access.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int NameColumnWidth = 128;
constexpr int RightColumnWidth = 64;
constexpr int CheckBoxLeft = 24; // from the column's left edge
constexpr int CheckBoxWidth = 13;

const QStringList ColumnTitles = {QStringLiteral("Uživatel"), QStringLiteral("Solárka"),
                                  QStringLiteral("Doklady"), QStringLiteral("Nastavení"),
                                  QStringLiteral("!!!")};

// Draws each row itself: the name, and a flat check box per right read from the register.
class UserRowDelegate : public QStyledItemDelegate
{
public:
    UserRowDelegate(const UserRegister &users, QObject *parent)
        : QStyledItemDelegate(parent), m_users(users)
    {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette &palette = option.palette;
        painter->fillRect(option.rect, selected ? palette.highlight() : palette.base());
        painter->setPen(selected ? palette.highlightedText().color() : palette.text().color());
        if (index.column() == 0) {
            const QRect text = option.rect.adjusted(4, 2, 0, 0);
            painter->drawText(text, Qt::AlignLeft | Qt::AlignTop, index.data().toString());
            return;
        }
        if (index.row() >= m_users.count())
            return;
        QStyleOptionButton box;
        const int side = std::min(CheckBoxWidth, option.rect.height());
        box.rect =
            QRect(option.rect.left() + CheckBoxLeft,
                  option.rect.top() + (option.rect.height() - side) / 2, CheckBoxWidth, side);
        box.state = QStyle::State_Enabled | QStyle::State_ReadOnly;
        box.state |= m_users.users().at(index.row()).rights[index.column() - 1] ? QStyle::State_On
                                                                                : QStyle::State_Off;
        box.features = QStyleOptionButton::Flat;
        const QWidget *widget = option.widget;
        widget->style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, widget);
    }

private:
    const UserRegister &m_users;
};

} // namespace

void SetListViewFont(QAbstractItemView *listView)
{
    QHeaderView *header = nullptr;
    if (auto *tree = qobject_cast<QTreeView *>(listView))
        header = tree->header();
    if (!header)
        return;
    QFont font = header->font();
    font.setFamily(QStringLiteral("Microsoft Sans Serif"));
    font.setPixelSize(9);
    header->setFont(font);
    header->viewport()->update();
}

TFormUser::TFormUser(UserRegister &users, const QString &usersFilePath, QWidget *parent)
    : QDialog(parent), m_usersFilePath(usersFilePath), m_users(users)
{
    setWindowTitle(QStringLiteral(" Uživatelé"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *layout = new QVBoxLayout(this);
    auto *group = new QGroupBox(QStringLiteral("Uživatelé a jejich práva"), this);
    auto *groupLayout = new QHBoxLayout(group);

    m_listViewUsers = new QTreeWidget(group);
    m_listViewUsers->setObjectName(QStringLiteral("ListViewUsers"));
    m_listViewUsers->setColumnCount(int(ColumnTitles.size()));
    m_listViewUsers->setHeaderLabels(ColumnTitles);
    m_listViewUsers->setRootIsDecorated(false);
    m_listViewUsers->setUniformRowHeights(true);
    m_listViewUsers->setAllColumnsShowFocus(true);
    m_listViewUsers->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listViewUsers->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listViewUsers->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listViewUsers->setItemDelegate(new UserRowDelegate(m_users, m_listViewUsers));
    QHeaderView *header = m_listViewUsers->header();
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->resizeSection(0, NameColumnWidth);
    for (int column = 1; column < ColumnTitles.size(); ++column) {
        header->resizeSection(column, RightColumnWidth);
        m_listViewUsers->headerItem()->setTextAlignment(column, Qt::AlignCenter);
    }
    SetListViewFont(m_listViewUsers);
    m_listViewUsers->setMinimumWidth(NameColumnWidth + 4 * RightColumnWidth + 24);
    m_listViewUsers->viewport()->installEventFilter(this);
    connect(m_listViewUsers, &QTreeWidget::itemSelectionChanged, this, &TFormUser::SetButtons);
    groupLayout->addWidget(m_listViewUsers);

    auto *side = new QVBoxLayout;
    m_buttonAdd = namedButton(QStringLiteral("Přidat"), QStringLiteral("ButtonAdd"), group);
    m_buttonAdd->setDefault(true);
    m_buttonDelete = namedButton(QStringLiteral("Odebrat"), QStringLiteral("ButtonDelete"), group);
    m_buttonEdit = namedButton(QStringLiteral("Editovat"), QStringLiteral("ButtonEdit"), group);
    side->addWidget(m_buttonAdd);
    side->addWidget(m_buttonDelete);
    side->addWidget(m_buttonEdit);
    side->addStretch();
    groupLayout->addLayout(side);
    layout->addWidget(group);

    const auto [ok, cancel] = addOkCancelRow(layout, this);

    connect(m_buttonAdd, &QPushButton::clicked, this, &TFormUser::ButtonAddClick);
    connect(m_buttonDelete, &QPushButton::clicked, this, &TFormUser::ButtonDeleteClick);
    connect(m_buttonEdit, &QPushButton::clicked, this, &TFormUser::ButtonEditClick);
    connect(ok, &QPushButton::clicked, this, &TFormUser::accept);
    connect(cancel, &QPushButton::clicked, this, &TFormUser::reject);
    setFixedSize(sizeHint().expandedTo({560, 320}));
}

UserRegister::LoadResult TFormUser::OpenUsers()
{
    const UserRegister::LoadResult result = ::OpenUsers(m_users, m_usersFilePath);
    fillList();
    return result;
}

UserRegister::LoadResult OpenUsers(UserRegister &users, const QString &usersFilePath)
{
    const UserRegister::LoadResult result = users.load(usersFilePath);
    const QString onlyAdministrator =
        QStringLiteral("Nyní se může přihlásit pouze Administrator... Volejte ") + SupportContact;
    if (result == UserRegister::LoadResult::Missing)
        ShowWarning(QStringLiteral("Nenalezen soubor uživatelských práv..."), onlyAdministrator);
    else if (result == UserRegister::LoadResult::Damaged)
        ShowWarning(QStringLiteral("Soubor uživatelských práv je poškozen..."), onlyAdministrator);
    return result;
}

void TFormUser::setEventLog(std::function<void(const QString &)> addLog)
{
    m_addLog = std::move(addLog);
}

FileResult TFormUser::SaveUsers()
{
    QString kept;
    const FileResult saved = m_users.save(m_usersFilePath, &kept);
    if (!kept.isEmpty() && m_addLog)
        m_addLog(QStringLiteral("Poškozený soubor uživatelských práv uschován: [%1]").arg(kept));
    return saved;
}

void TFormUser::done(int result)
{
    if (result == QDialog::Accepted) {
        const FileResult saved = SaveUsers();
        if (!saved.ok()) {
            ShowWarning(QStringLiteral("Soubor uživatelských práv nelze uložit..."), saved.message);
            return;
        }
    } else {
        OpenUsers();
    }
    QDialog::done(result);
}

void TFormUser::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    fillList(); // the register may have been loaded since the last showing
    FormActivate();
}

void TFormUser::FormActivate()
{
    SetSelectedUser();
    SetButtons();
}

void TFormUser::fillList()
{
    m_listViewUsers->clear();
    for (const User &user : m_users.users())
        m_listViewUsers->addTopLevelItem(new QTreeWidgetItem({user.name}));
}

int TFormUser::selectedRow() const
{
    const QList<QTreeWidgetItem *> selected = m_listViewUsers->selectedItems();
    return selected.isEmpty() ? -1 : m_listViewUsers->indexOfTopLevelItem(selected.first());
}

void TFormUser::selectRow(int row, bool focus)
{
    QTreeWidgetItem *item = m_listViewUsers->topLevelItem(row);
    if (!item) {
        m_listViewUsers->clearSelection();
        return;
    }
    if (focus)
        m_listViewUsers->setCurrentItem(item);
    else
        m_listViewUsers->selectionModel()->select(m_listViewUsers->indexFromItem(item),
                                                  QItemSelectionModel::ClearAndSelect |
                                                      QItemSelectionModel::Rows);
    m_listViewUsers->scrollToItem(item);
}

void TFormUser::SetSelectedUser()
{
    if (m_users.isEmpty())
        return;
    const QString &current = Program().CurrentUser;
    if (current == AdministratorName) {
        const QModelIndex top = m_listViewUsers->indexAt(QPoint(1, 1));
        selectRow(top.isValid() ? top.row() : 0, true);
        return;
    }
    const int row = m_users.indexOf(current);
    if (row < 0)
        m_listViewUsers->clearSelection();
    else
        selectRow(row, true);
}

void TFormUser::SetButtons()
{
    const int row = selectedRow();
    m_buttonAdd->setEnabled(!m_users.isFull());
    // The built-in administrator may delete every row, one that bears its own name included.
    const QString &current = Program().CurrentUser;
    m_buttonDelete->setEnabled(
        row >= 0 && (current == AdministratorName || m_users.users().at(row).name != current));
    m_buttonEdit->setEnabled(!m_users.isEmpty());
}

bool TFormUser::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_listViewUsers->viewport() && event->type() == QEvent::MouseButtonPress)
        toggleRightAt(static_cast<QMouseEvent *>(event)->position().toPoint());
    return QDialog::eventFilter(watched, event);
}

bool TFormUser::toggleRightAt(const QPoint &position)
{
    const QModelIndex index = m_listViewUsers->indexAt(position);
    if (!index.isValid() || index.column() < 1 || index.row() >= m_users.count())
        return false;
    const int offset =
        position.x() - m_listViewUsers->header()->sectionViewportPosition(index.column());
    if (offset < CheckBoxLeft || offset >= CheckBoxLeft + CheckBoxWidth)
        return false;
    const auto right = UserRight(index.column() - 1);
    m_users.setRight(index.row(), right, !m_users.users().at(index.row()).rights[right]);
    m_listViewUsers->viewport()->update();
    return true;
}

void TFormUser::ButtonAddClick()
{
    TFormUserNew dialog(m_users, this);
    const bool added = dialog.exec() == QDialog::Accepted;
    FormActivate(); // as when the window becomes active again
    if (!added)
        return;
    m_users.add(User{dialog.userName(), dialog.password(), {true, true, true, true}});
    fillList();
    selectRow(m_users.indexOf(dialog.userName()), true);
    SetButtons();
}

void TFormUser::ButtonDeleteClick()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    m_users.removeAt(row);
    fillList();
    // The selection moves to the row above (focused), or from the top row to the one below it.
    if (!m_users.isEmpty())
        selectRow(row > 0 ? row - 1 : 0, row > 0);
    SetButtons();
}

void TFormUser::ButtonEditClick()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    const User &user = m_users.users().at(row);
    TFormUserEdit dialog(user.name, user.password, this);
    const bool changed = dialog.exec() == QDialog::Accepted;
    if (changed)
        m_users.setPassword(row, dialog.password());
    FormActivate();
}
