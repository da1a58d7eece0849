// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DlgDriverLibrary.h"

#include "common/NumberText.h"
#include "driver/Program.h"
#include "library/Export.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

using namespace kelvane;
using namespace kelvane::library;

namespace {

const QString Title = QStringLiteral("Driver Library");

// The value shown in each numeric column of the table.
Value Entry::*columnValue(int column)
{
    switch (column) {
    case DriverTableModel::Fs: return &Entry::fs;
    case DriverTableModel::Qts: return &Entry::qts;
    case DriverTableModel::Vas: return &Entry::vas;
    case DriverTableModel::Sd: return &Entry::sd;
    case DriverTableModel::Xmax: return &Entry::xmax;
    case DriverTableModel::Re: return &Entry::re;
    case DriverTableModel::Power: return &Entry::power;
    default: return nullptr;
    }
}

bool ask(QWidget *parent, const QString &question)
{
    QMessageBox box(QMessageBox::NoIcon, Title, question, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace

// ---- The table model ----

void DriverTableModel::setEntries(std::vector<Entry> entries)
{
    beginResetModel();
    entries_ = std::move(entries);
    haystacks_.clear();
    haystacks_.reserve(entries_.size());
    for (const Entry &e : entries_)
        haystacks_.push_back(searchHaystack(e));
    sortAll();
    applyFilter();
    endResetModel();
}

void DriverTableModel::setFilter(const QString &text)
{
    words_ = searchWords(text);
    beginResetModel();
    applyFilter();
    endResetModel();
}

void DriverTableModel::applyFilter()
{
    // The order is kept for all entries, so a keystroke only has to pick the matching ones.
    visible_.clear();
    for (std::size_t i : order_)
        if (matchesWords(haystacks_[i], words_))
            visible_.push_back(i);
}

int DriverTableModel::rowOf(qint64 id) const
{
    for (std::size_t r = 0; r < visible_.size(); ++r)
        if (entries_[visible_[r]].id == id)
            return int(r);
    return -1;
}

int DriverTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(visible_.size());
}

int DriverTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant DriverTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::TextAlignmentRole))
        return {};
    const int column = index.column();
    if (role == Qt::TextAlignmentRole)
        return columnValue(column) ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    const Entry &e = entryAt(index.row());
    if (const auto value = columnValue(column))
        return e.*value ? generalNumber(*(e.*value)) : QString();
    switch (column) {
    case Maker: return e.maker;
    case Model: return e.model;
    case Source: return e.source;
    default: return {};
    }
}

QVariant DriverTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char *const headers[ColumnCount] = {"Maker", "Model", "Fs (Hz)", "Qts", "Vas (l)", "Sd (cm²)",
                                                     "Xmax (mm)", "Re (ohm)", "Power (W)", "Source"};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromUtf8(headers[section]);
}

Qt::ItemFlags DriverTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() != Source)
        f |= Qt::ItemIsEditable;
    return f;
}

bool DriverTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !writeEntry)
        return false;
    Entry e = entryAt(index.row());
    const QString text = value.toString().trimmed();
    if (index.column() == Maker)
        e.maker = text;
    else if (index.column() == Model)
        e.model = text;
    else if (const auto field = columnValue(index.column())) {
        // A typed value is a plain number with "."; emptied means unknown.
        const std::optional<double> v = parseNumber(text);
        if (!text.isEmpty() && (!v || *v <= 0))
            return false;
        e.*field = text.isEmpty() ? Value() : v;
    } else {
        return false;
    }
    // An entry must stay one that a box can be designed with, under a name of its own.
    if (!unusableReason(e).isEmpty() || !writeEntry(e))
        return false;
    const std::size_t at = visible_[std::size_t(index.row())];
    entries_[at] = e;
    haystacks_[at] = searchHaystack(e);
    emit dataChanged(index, index);
    return true;
}

void DriverTableModel::sort(int column, Qt::SortOrder order)
{
    sortColumn_ = column;
    sortOrder_ = order;
    beginResetModel();
    sortAll();
    applyFilter();
    endResetModel();
}

void DriverTableModel::sortAll()
{
    order_.resize(entries_.size());
    for (std::size_t i = 0; i < order_.size(); ++i)
        order_[i] = i;
    const auto field = columnValue(sortColumn_);
    const auto text = [this](const Entry &e) -> const QString & {
        return sortColumn_ == Model ? e.model : sortColumn_ == Source ? e.source : e.maker;
    };
    const bool ascending = sortOrder_ == Qt::AscendingOrder;
    // Unknown values go last in either order; equal keys keep maker and model order.
    std::stable_sort(order_.begin(), order_.end(), [&](std::size_t a, std::size_t b) {
        const Entry &x = entries_[a], &y = entries_[b];
        if (field) {
            const Value &u = x.*field, &v = y.*field;
            if (!u || !v)
                return bool(u) && !v;
            return ascending ? *u < *v : *u > *v;
        }
        const int c = QString::compare(text(x), text(y), Qt::CaseInsensitive);
        if (c == 0 && sortColumn_ == Maker)
            return QString::compare(x.model, y.model, Qt::CaseInsensitive) < 0;
        return ascending ? c < 0 : c > 0;
    });
}

// ---- The window ----

DlgDriverLibrary::DlgDriverLibrary(const QString &libraryPath, Hooks hooks, QWidget *parent)
    : QDialog(parent), hooks_(std::move(hooks))
{
    setObjectName(QStringLiteral("DlgDriverLibrary"));
    setWindowTitle(Title);
    TxtDriverSearch = new QLineEdit(this);
    TxtDriverSearch->setObjectName(QStringLiteral("TxtDriverSearch"));
    TxtDriverSearch->setPlaceholderText(QStringLiteral("Search maker, model or notes"));
    TxtDriverSearch->setClearButtonEnabled(true);
    TblDrivers = new QTableView(this);
    TblDrivers->setObjectName(QStringLiteral("TblDrivers"));
    TblDrivers->setModel(&model_);
    TblDrivers->setSelectionBehavior(QAbstractItemView::SelectRows);
    TblDrivers->setEditTriggers(QAbstractItemView::EditKeyPressed);
    TblDrivers->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    TblDrivers->verticalHeader()->hide();
    TblDrivers->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // Column widths from the first rows: measuring thousands of drivers would slow the opening.
    TblDrivers->horizontalHeader()->setResizeContentsPrecision(100);
    TblDrivers->horizontalHeader()->setStretchLastSection(true);
    TblDrivers->setSortingEnabled(true);
    TblDrivers->sortByColumn(DriverTableModel::Maker, Qt::AscendingOrder);

    const auto button = [this](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    CmdUseDriver = button("CmdUseDriver", QStringLiteral("Use"));
    CmdAddDriver = button("CmdAddDriver", QStringLiteral("Add Current Driver"));
    CmdEditDriver = button("CmdEditDriver", QStringLiteral("Edit"));
    CmdDeleteDriver = button("CmdDeleteDriver", QStringLiteral("Delete"));
    CmdImportDrivers = button("CmdImportDrivers", QStringLiteral("Import…"));
    CmdExportDrivers = button("CmdExportDrivers", QStringLiteral("Export…"));

    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {CmdUseDriver, CmdAddDriver, CmdEditDriver, CmdDeleteDriver, CmdImportDrivers,
                           CmdExportDrivers})
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(TxtDriverSearch);
    layout->addWidget(TblDrivers);
    layout->addLayout(buttons);
    resize(860, 480);

    connect(TxtDriverSearch, &QLineEdit::textChanged, this, [this](const QString &text) {
        model_.setFilter(text);
        updateButtons();
    });
    connect(TblDrivers, &QTableView::doubleClicked, this, [this] { CmdUseDriver_Click(); });
    connect(TblDrivers->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { updateButtons(); });
    connect(CmdUseDriver, &QPushButton::clicked, this, [this] { CmdUseDriver_Click(); });
    connect(CmdAddDriver, &QPushButton::clicked, this, [this] { CmdAddDriver_Click(); });
    connect(CmdEditDriver, &QPushButton::clicked, this, [this] { CmdEditDriver_Click(); });
    connect(CmdDeleteDriver, &QPushButton::clicked, this, [this] { CmdDeleteDriver_Click(); });
    connect(CmdImportDrivers, &QPushButton::clicked, this, [this] { CmdImportDrivers_Click(); });
    connect(CmdExportDrivers, &QPushButton::clicked, this, [this] { CmdExportDrivers_Click(); });
    model_.writeEntry = [this](const Entry &e) { return store_.update(e); };

    store_.open(libraryPath);
    reload();
}

void DlgDriverLibrary::reload(qint64 selectId)
{
    model_.setEntries(store_.all());
    TblDrivers->resizeColumnsToContents();
    if (const int row = selectId ? model_.rowOf(selectId) : -1; row >= 0)
        TblDrivers->selectRow(row);
    updateButtons();
}

std::vector<Entry> DlgDriverLibrary::selectedEntries() const
{
    std::vector<Entry> out;
    for (const QModelIndex &i : TblDrivers->selectionModel()->selectedRows())
        out.push_back(model_.entryAt(i.row()));
    return out;
}

void DlgDriverLibrary::updateButtons()
{
    const bool one = TblDrivers->selectionModel()->selectedRows().size() == 1;
    const bool any = TblDrivers->selectionModel()->hasSelection();
    CmdUseDriver->setEnabled(one);
    CmdEditDriver->setEnabled(one);
    CmdDeleteDriver->setEnabled(any && store_.isOpen());
    CmdAddDriver->setEnabled(store_.isOpen());
    CmdImportDrivers->setEnabled(store_.isOpen());
    CmdExportDrivers->setEnabled(model_.rowCount() > 0);
}

void DlgDriverLibrary::CmdUseDriver_Click()
{
    const std::vector<Entry> chosen = selectedEntries();
    if (chosen.size() != 1 || !hooks_.useDriver)
        return;
    hooks_.useDriver(chosen.front());
    accept();
}

void DlgDriverLibrary::CmdAddDriver_Click()
{
    if (!hooks_.currentDriver)
        return;
    Entry e = hooks_.currentDriver();
    if (const QString reason = unusableReason(e); !reason.isEmpty()) {
        Program::ShowMessage(QStringLiteral("The driver on the Input tab cannot be added: %1.").arg(reason), Title);
        return;
    }
    const bool exists = store_.contains(e.maker, e.model);
    if (exists && !ask(this, QStringLiteral("\"%1\" is already in the library. Replace it?").arg(e.name())))
        return;
    if (!store_.add(e, exists)) {
        Program::ShowMessage(QStringLiteral("The driver could not be added to the library."), Title);
        return;
    }
    TxtDriverSearch->clear();
    reload();
    for (int r = 0; r < model_.rowCount(); ++r)
        if (model_.entryAt(r).name().compare(e.name(), Qt::CaseInsensitive) == 0)
            TblDrivers->selectRow(r);
}

void DlgDriverLibrary::CmdEditDriver_Click()
{
    const QModelIndex current = TblDrivers->currentIndex();
    if (!current.isValid())
        return;
    TblDrivers->edit(current.column() == DriverTableModel::Source ? current.siblingAtColumn(0) : current);
}

void DlgDriverLibrary::CmdDeleteDriver_Click()
{
    const std::vector<Entry> chosen = selectedEntries();
    if (chosen.empty())
        return;
    const QString question = chosen.size() == 1
                                 ? QStringLiteral("Delete \"%1\" from the library?").arg(chosen.front().name())
                                 : QStringLiteral("Delete the %1 selected drivers from the library?").arg(chosen.size());
    if (!ask(this, question))
        return;
    std::vector<qint64> ids;
    for (const Entry &e : chosen)
        ids.push_back(e.id);
    if (!store_.remove(ids))
        Program::ShowMessage(QStringLiteral("The drivers could not be deleted."), Title);
    reload();
}

QStringList DlgDriverLibrary::knownDatabases()
{
    return QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("qspeakers/qspeakers_db.xml"));
}

void DlgDriverLibrary::CmdImportDrivers_Click()
{
    // One click imports a driver database found on this computer; "Files…" chooses any files.
    QMessageBox box(QMessageBox::NoIcon, Title, QStringLiteral("Import drivers from files, or from a driver database "
                                                               "found on this computer."),
                    QMessageBox::Cancel, this);
    box.setObjectName(QStringLiteral("DlgImportChoice"));
    QPushButton *files = box.addButton(QStringLiteral("Files…"), QMessageBox::ActionRole);
    std::vector<std::pair<QAbstractButton *, QString>> databases;
    for (const QString &path : knownDatabases())
        databases.emplace_back(box.addButton(QDir::toNativeSeparators(path), QMessageBox::ActionRole), path);
    auto *replace = new QCheckBox(QStringLiteral("Replace drivers already in the library"));
    box.setCheckBox(replace);
    box.exec();
    QStringList paths;
    if (box.clickedButton() == files) {
        QFileDialog dialog(this, QStringLiteral("Import Drivers"));
        dialog.setObjectName(QStringLiteral("DlgImportDrivers"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::ExistingFiles);
        dialog.setNameFilters({QStringLiteral("Driver files (*.xml *.wdr *.csv *.tsv *.txt)"),
                               QStringLiteral("All files (*)")});
        if (dialog.exec() == QDialog::Accepted)
            paths = dialog.selectedFiles();
    }
    for (const auto &[b, path] : databases)
        if (box.clickedButton() == b)
            paths << path;
    if (!paths.isEmpty())
        importFiles(paths, replace->isChecked());
}

void DlgDriverLibrary::importFiles(const QStringList &paths, bool replace)
{
    const ImportSummary summary = store_.importFiles(paths, replace);
    TxtDriverSearch->clear();
    reload();
    Program::ShowMessage(summary.text(), Title);
}

void DlgDriverLibrary::CmdExportDrivers_Click()
{
    QFileDialog dialog(this, QStringLiteral("Export Drivers"));
    dialog.setObjectName(QStringLiteral("DlgExportDrivers"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters({QStringLiteral("CSV table (*.csv)"), QStringLiteral("One driver (*.wdr)")});
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &filter) {
        dialog.setDefaultSuffix(filter.contains(QLatin1String("wdr")) ? QStringLiteral("wdr") : QStringLiteral("csv"));
    });
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        exportDrivers(dialog.selectedFiles().constFirst());
}

bool DlgDriverLibrary::exportDrivers(const QString &path)
{
    // The selected drivers, or all those shown when none is selected.
    std::vector<Entry> chosen = selectedEntries();
    if (chosen.empty())
        for (int r = 0; r < model_.rowCount(); ++r)
            chosen.push_back(model_.entryAt(r));
    const bool wdr = path.endsWith(QLatin1String(".wdr"), Qt::CaseInsensitive);
    if (wdr && chosen.size() != 1) {
        Program::ShowMessage(QStringLiteral("A .wdr file holds one driver: select the driver to export."), Title);
        return false;
    }
    const QByteArray bytes = wdr ? toWdr(chosen.front()) : toCsv(chosen);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        Program::ShowMessage(QStringLiteral("The drivers could not be exported to %1.").arg(QDir::toNativeSeparators(path)),
                             Title);
        return false;
    }
    return true;
}
