// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The driver library window: a search field, a sortable table of the stored drivers and the buttons
// that use, add, edit, delete, import and export them. It reaches the main window only through the
// two functions it is given: the driver on the Input tab, and filling the Input tab from an entry.

#include "library/DriverStore.h"

#include <QAbstractTableModel>
#include <QDialog>

#include <functional>

class QLineEdit;
class QPushButton;
class QTableView;

namespace kelvane::library {

// The drivers as table rows: every stored entry, of which those matching the search are shown,
// in the order of the sort column.
class DriverTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum ColumnIndex { Maker, Model, Fs, Qts, Vas, Sd, Xmax, Re, Power, Source, ColumnCount };
    // Writes an edited entry; false leaves the row as it was.
    std::function<bool(const Entry &)> writeEntry;

    void setEntries(std::vector<Entry> entries);
    void setFilter(const QString &text);
    const Entry &entryAt(int row) const { return entries_[visible_[std::size_t(row)]]; }
    // The row showing the entry with this id, or -1.
    int rowOf(qint64 id) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    void sortAll();
    void applyFilter();

    std::vector<Entry> entries_;
    std::vector<QString> haystacks_;
    std::vector<std::size_t> order_;    // every entry, in the order of the sort column
    std::vector<std::size_t> visible_;  // the matching ones, in that order
    QStringList words_;
    int sortColumn_ = Maker;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

} // namespace kelvane::library

class DlgDriverLibrary : public QDialog
{
    Q_OBJECT

public:
    struct Hooks {
        std::function<kelvane::library::Entry()> currentDriver;
        std::function<void(const kelvane::library::Entry &)> useDriver;
    };
    DlgDriverLibrary(const QString &libraryPath, Hooks hooks, QWidget *parent = nullptr);

    // Empty when the library opened as it was; otherwise what happened to it (shown once).
    QString openNotice() const { return store_.notice(); }
    bool isUsable() const { return store_.isOpen(); }

    QLineEdit *TxtDriverSearch = nullptr;
    QTableView *TblDrivers = nullptr;
    QPushButton *CmdUseDriver = nullptr, *CmdAddDriver = nullptr, *CmdEditDriver = nullptr,
                *CmdDeleteDriver = nullptr, *CmdImportDrivers = nullptr, *CmdExportDrivers = nullptr;

    void CmdUseDriver_Click();
    void CmdAddDriver_Click();
    void CmdEditDriver_Click();
    void CmdDeleteDriver_Click();
    void CmdImportDrivers_Click();
    void CmdExportDrivers_Click();
    // What the buttons do once the files are chosen; each shows its own summary or message.
    void importFiles(const QStringList &paths, bool replace);
    bool exportDrivers(const QString &path);

    // The driver databases of the Qt loudspeaker program found on this computer.
    static QStringList knownDatabases();

private:
    void reload(qint64 selectId = 0);
    std::vector<kelvane::library::Entry> selectedEntries() const;
    void updateButtons();

    kelvane::library::DriverStore store_;
    kelvane::library::DriverTableModel model_;
    Hooks hooks_;
};
