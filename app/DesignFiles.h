// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's design as a file: New, Open, Open Recent, Save, Save As and Export Curves on the File
// menu, the design read from and written to every tab, the unsaved mark in the window title, the
// list of recent designs and the question before unsaved changes are dropped.

#include "design/DesignFile.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

class FrmKelvane;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;

class DesignFiles : public QObject
{
public:
    explicit DesignFiles(FrmKelvane &window);

    void MnuNew_Click();
    void MnuOpen_Click();
    void MnuOpenRecent_Click(int Index);
    void MnuSave_Click();
    void MnuSaveAs_Click();
    void MnuExportCurves_Click();
    // What the menus do once a file is chosen; each reports its own failure and returns false.
    bool openDesign(const QString &path);
    bool saveDesign(const QString &path);
    bool exportCurves(const QString &path);
    QString designPath() const { return designPath_; }
    bool designModified() const { return designModified_; }
    QStringList recentDesigns() const;

    // Adds the design entries to the File menu.
    void buildDesignMenu(QMenu *file);
    // Keeps the start-up state for "New" and marks the design changed on every edit.
    void watchDesignEdits();
    void markDesignModified();
    // The shared values the key handlers keep, taken from the field texts as if each had been
    // entered with Enter.
    void commitEnteredValues();
    // False when the user cancels (or the save fails): the design must not be replaced.
    bool askToSaveChanges();

private:
    kelvane::design::Design currentDesign() const;
    void applyDesign(const kelvane::design::Design &design);
    void setDesignChoices(const kelvane::design::Design &design);
    std::vector<QRadioButton *> choiceOptions(std::size_t choice) const;
    std::vector<kelvane::design::CurveColumn> calculatedCurves() const;
    void setDesignFile(const QString &path);
    void updateDesignTitle();
    void rememberRecent(const QString &path);
    void forgetRecent(const QString &path);
    void refreshRecentMenu();

    FrmKelvane &w;
    QString designPath_;          // absolute; empty for a design never saved
    bool designModified_ = false;
    bool fillingDesign_ = false;  // edits made while a design is filled in are not the user's
    kelvane::design::Design startUpDesign_;
    std::vector<std::pair<QLabel *, QString>> startUpCaptions_;
    std::vector<std::pair<QLineEdit *, QString>> startUpReadouts_;
};
