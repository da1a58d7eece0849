// SPDX-License-Identifier: GPL-3.0-or-later
// The random run's event kinds: each draws its random choices, stores what it will do in action_
// and returns a description of it (see Monkey.h).

#include "Monkey.h"

namespace monkey {

namespace {

// Numbers a user might try: ordinary, tiny, huge, at the edges of the plausible ranges.
const QStringList InterestingNumbers = QStringLiteral(
    "0 00 . 0. .0 1 2 7 10 20 30 50 100 101 200 499 500 500.0001 501 1000 0.1 0.2 0.35 0.4 0.5 0.5647 0.7 0.707 0.7071 "
    "0.71 0.9 1.2 1.5 1.9 2.5 3 6 8 9.99 12 25.4 38 0.0000001 0.0001 0.00000000000000000001 99999999999 1e308 1E308 "
    "1e-308 999999999999999999999999999999 1.2.3 .. 0.000 007 3.14159265358979323846").split(u' ');

// Texts pasted as they are (the key filters never see pasted text).
const char *const InterestingPastes[] = {
    "nan", "NaN", "inf", "-inf", "Infinity", "1e308", "-1", "-0", "+5", " 5", "5 ", "1,5", "0x10", "1e400", "../escape",
    "../../escape", "/tmp/kelvane-monkey-escape", "a/b", "..", ".", "", "con", "name.bmp", "*", "?", "~", "$HOME",
    "%s%s%s%n", "\\\\server\\share", "line\nbreak", "tab\there", "\xc3\xa9\xc3\xa8\xe2\x82\xac", "\xe4\xb8\xad\xe6\x96\x87",
    "\xf0\x9f\x94\x8a", "\xd9\x85\xd8\xb1\xd8\xad\xd8\xa8\xd8\xa7", "12\xe2\x80\xaf" "5", "\xef\xbc\x95"};

// Names the run saves designs under, opens them from and exports curves to, all relative to its own
// folder; "missing/" is a folder that does not exist, "junk" a file the run damages.
const char *const DesignNames[] = {"a.kelvane", "b.kelvane", "junk.kelvane", "missing.kelvane", "missing/c.kelvane"};

} // namespace

// A text typed key by key: mostly numbers, sometimes letters and symbols the filters reject.
QString Monkey::typedText()
{
    switch (below(6)) {
    case 0: return chance(2) ? QString::number(std::numeric_limits<double>::max(), 'f', 0) : pick(InterestingNumbers);
    case 1: return pick(InterestingNumbers);
    case 2: return digits(1 + below(4)) + (chance(60) ? "." + digits(below(5)) : QString());
    case 3: return "0." + digits(1 + below(3));
    case 4: return digits(20 + below(300));
    default: return printable(1 + below(12));
    }
}

// A pasted text: any characters, including control characters and very long texts.
QString Monkey::pastedText()
{
    switch (below(5)) {
    case 0: return QString::fromUtf8(pick(InterestingPastes));
    case 1: return typedText();
    case 2: {
        QString s;
        for (int i = 1 + below(40); i > 0; --i)
            s += below(4) == 0 ? printable(1, 0, 32) : below(3) == 0 ? printable(1, 0xa0, 0x2f00) : printable(1);
        return s;
    }
    case 3: return digits(1000 + below(20000));
    default: return QString(1 + below(5000), QChar(char16_t(32 + below(95))));
    }
}

// ---- The event kinds, one function each ----
QString Monkey::typeText()
{
    QLineEdit *f = anyUsable<QLineEdit>();
    if (!f)
        return {};
    const QString text = typedText();
    const bool enter = chance(75);
    action_ = [f, text, enter] { f->setFocus(Qt::OtherFocusReason); typeInto(f, text, enter); };
    return "type " + quoted(text) + " into " + f->objectName() + (enter ? " + Enter" : "");
}
QString Monkey::pasteText()
{
    QLineEdit *f = anyUsable<QLineEdit>();
    if (!f)
        return {};
    const QString text = pastedText();
    const bool enter = chance(60);
    action_ = [f, text, enter] {
        f->setFocus(Qt::OtherFocusReason);
        f->selectAll();
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(f, Qt::Key_V, Qt::ControlModifier);
        if (enter)
            QTest::keyClick(f, Qt::Key_Return);
    };
    return "paste " + quoted(text) + " into " + f->objectName() + (enter ? " + Enter" : "");
}
QString Monkey::enterInField()
{
    QLineEdit *f = anyUsable<QLineEdit>();
    if (!f)
        return {};
    action_ = [f] { f->setFocus(Qt::OtherFocusReason); QTest::keyClick(f, Qt::Key_Return); };
    return "Enter in " + f->objectName();
}
QString Monkey::clickIntoField()
{
    QLineEdit *f = anyUsable<QLineEdit>();
    if (!f)
        return {};
    action_ = [f] { QTest::mouseClick(f, Qt::LeftButton, {}, QPoint(4, f->height() / 2)); };
    return "click into " + f->objectName();
}
// A key on whatever has the focus; letters only the Vas options take as shortcuts.
QString Monkey::keyOnFocus()
{
    const Qt::Key keys[] = {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Space,
                            Qt::Key_Escape, Qt::Key_Return, Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down,
                            Qt::Key_Home, Qt::Key_End, Qt::Key_F, Qt::Key_L, Qt::Key_M};
    const Qt::Key key = pick(keys);
    action_ = [this, key] { QTest::keyClick(window_->focusWidget() ? window_->focusWidget() : window_.get(), key); };
    return QStringLiteral("key %1 on the focus").arg(int(key), 0, 16);
}
QString Monkey::clickButton()
{
    QPushButton *b = anyUsable<QPushButton>();
    if (!b)
        return {};
    action_ = [b] { QTest::mouseClick(b, Qt::LeftButton); };
    return "click " + b->objectName();
}
QString Monkey::clickOption()
{
    QRadioButton *o = anyUsable<QRadioButton>();
    if (!o)
        return {};
    action_ = [o] { QTest::mouseClick(o, Qt::LeftButton, {}, QPoint(6, o->height() / 2)); };
    return "click " + o->objectName();
}
QString Monkey::switchTab()
{
    const int tab = below(window_->SSTab->count());
    action_ = [this, tab] {
        QTest::mouseClick(window_->SSTab->tabBar(), Qt::LeftButton, {}, window_->SSTab->tabBar()->tabRect(tab).center());
    };
    return QStringLiteral("tab %1").arg(tab);
}
// Mouse moves over the picture of the current tab, its edges and corners as well as inside.
QString Monkey::moveMouse()
{
    GraphPicture *picture = anyUsable<GraphPicture>();
    if (!picture)
        return {};
    QList<QPoint> points;
    for (int i = 1 + below(8); i > 0; --i) {
        const int x = chance(20) ? (chance(50) ? 0 : picture->width() - 1) : below(picture->width());
        points << QPoint(x, chance(20) ? (chance(50) ? 0 : picture->height() - 1) : below(picture->height()));
    }
    action_ = [picture, points] {
        for (const QPoint &p : points) {
            QMouseEvent move(QEvent::MouseMove, p, picture->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(picture, &move);
        }
    };
    return QStringLiteral("%1 mouse moves over %2").arg(points.size()).arg(picture->objectName());
}
// The window resized: back to its default size, to any size up to about 2500 x 1500, or maximized
// and back; every picture then takes the room its tab gives it.
QString Monkey::resizeWindow()
{
    if (chance(15)) {
        action_ = [this] { window_->isMaximized() ? window_->showNormal() : window_->showMaximized(); };
        return QStringLiteral("window maximized or back");
    }
    const QSize smallest = window_->minimumSizeHint();
    const QSize size = chance(25) ? smallest : smallest + QSize(below(1400), below(900));
    action_ = [this, size] { window_->resize(size); };
    return QStringLiteral("window resized to %1 x %2").arg(size.width()).arg(size.height());
}
// Saving, opening, damaging and exporting design files, the recent list and the File menu.
QString Monkey::designFile()
{
    const QString name = QLatin1String(pick(DesignNames));
    switch (below(8)) {
    case 0: case 1:
        action_ = [this, name] { window_->Files->saveDesign(name); };
        return "save design " + name;
    case 2: case 3:
        action_ = [this, name] { openWithFileTexts(name, [this, name] { window_->Files->openDesign(name); }); };
        return "open design " + name;
    case 4: { // cut short, one byte changed, or any text at all
        const int kind = below(3);
        const quint64 where = rng_();
        const QString text = pastedText();
        action_ = [kind, where, text] {
            QFile good(QStringLiteral("a.kelvane")), junk(QStringLiteral("junk.kelvane"));
            QByteArray bytes = good.open(QIODevice::ReadOnly) ? good.readAll() : QByteArray();
            if (kind == 0)
                bytes.truncate(bytes.isEmpty() ? 0 : int(where % quint64(bytes.size())));
            else if (kind == 1 && !bytes.isEmpty())
                bytes[int(where % quint64(bytes.size()))] = char(where >> 32);
            else
                bytes = text.toUtf8();
            if (junk.open(QIODevice::WriteOnly))
                junk.write(bytes);
        };
        return QStringLiteral("damage junk.kelvane (%1)").arg(kind);
    }
    case 5: {
        const QString file = chance(80) ? QStringLiteral("curves.csv") : QStringLiteral("missing/curves.csv");
        action_ = [this, file] { window_->Files->exportCurves(file); };
        return "export curves to " + file;
    }
    case 6:
        if (const int count = int(window_->MnuOpenRecent->actions().size())) {
            const int index = below(count);
            action_ = [this, index] {
                openWithFileTexts(window_->Files->recentDesigns().value(index),
                                  [this, index] { window_->MnuOpenRecent->actions().at(index)->trigger(); });
            };
            return QStringLiteral("open recent %1").arg(index);
        }
        [[fallthrough]];
    default: { // the menu items themselves: the question, the file dialogs (cancelled), Save
        QAction *const items[] = {window_->MnuNew, window_->MnuOpen, window_->MnuSave, window_->MnuSaveAs, window_->MnuExportCurves};
        QAction *a = pick(items);
        action_ = [a] { a->trigger(); };
        return "File > " + a->objectName();
    }
    }
}
// A choice in a drop-down list of the current tab (the Analysis tab's graph and vent).
QString Monkey::chooseInList()
{
    QComboBox *c = anyUsable<QComboBox>();
    if (!c)
        return {};
    const int k = below(c->count() + 1) - 1; // -1: no choice at all
    action_ = [c, k] { c->setCurrentIndex(k); };
    return QStringLiteral("choose %1 in %2").arg(k).arg(c->objectName());
}
// The sheet of whatever the window holds now, with random choices, written into the run's folder
// (or a missing one); a picture of a random graph as PNG or SVG; or one of the two menu items,
// whose dialogs the closer cancels.
QString Monkey::buildSheet()
{
    const QString where = chance(90) ? QString() : QStringLiteral("missing/");
    switch (below(3)) {
    case 0: {
        const kelvane::sheet::Choices c{chance(50), below(3), double(below(40)), chance(50),
                                        chance(50) ? kelvane::sheet::PageSize::A4 : kelvane::sheet::PageSize::Letter,
                                        chance(50)};
        action_ = [this, c, where] {
            kelvane::sheet::writePdfFile(kelvane::sheet::buildSheet(window_->buildSheetSnapshot(), c, {}, {}),
                                         where + QStringLiteral("sheet.pdf"));
        };
        return "build sheet to " + where + "sheet.pdf";
    }
    case 1: {
        GraphPicture *picture = pick(pictures());
        const QString file = where + (chance(50) ? QStringLiteral("picture.png") : QStringLiteral("picture.svg"));
        action_ = [picture, file] {
            kelvane::sheet::writePicture(picture->drawing(), file, kelvane::sheet::pictureFormatOf(file), {});
        };
        return "picture of " + picture->objectName() + " to " + file;
    }
    default: {
        QAction *a = chance(50) ? window_->MnuExportBuildSheet : window_->MnuExportPicture;
        action_ = [a] { a->trigger(); };
        return "File > " + a->objectName();
    }
    }
}
// The driver library window: opened, searched, a row clicked or double-clicked (Use), Use, Add
// Current Driver and Delete (whose question the closer answers), closed again. Its library lives
// in the run's own home folder.
QString Monkey::driverLibrary()
{
    auto *dialog = window_->findChild<DlgDriverLibrary *>();
    if (!dialog || !dialog->isVisible()) {
        action_ = [this] { window_->MnuDriverLibrary->trigger(); };
        return QStringLiteral("File > Driver Library");
    }
    const auto rowCenter = [dialog](int row) {
        return dialog->TblDrivers->visualRect(dialog->TblDrivers->model()->index(row, 1)).center();
    };
    // The name Use puts in TxtName was typed or imported by a user too.
    const auto nameIsTyped = [this] { userText_[window_->Input->TxtName] = window_->Input->TxtName->text(); };
    switch (below(7)) {
    case 0: case 1: {
        const char *const words[] = {"brennholt", "SUB", "c1", "mid woofer", "zzz", "", "12 inch", "a"};
        const QString text = QLatin1String(pick(words));
        action_ = [dialog, text] {
            dialog->TxtDriverSearch->clear();
            QTest::keyClicks(dialog->TxtDriverSearch, text);
        };
        return "search the library for " + quoted(text);
    }
    case 2: {
        const int row = below(std::max(dialog->TblDrivers->model()->rowCount(), 1));
        const bool twice = chance(40);
        action_ = [dialog, row, rowCenter, twice, nameIsTyped] {
            QTest::mouseClick(dialog->TblDrivers->viewport(), Qt::LeftButton, {}, rowCenter(row));
            if (twice)
                QTest::mouseDClick(dialog->TblDrivers->viewport(), Qt::LeftButton, {}, rowCenter(row));
            nameIsTyped();
        };
        return QStringLiteral("%1 library row %2").arg(twice ? "double-click" : "click").arg(row);
    }
    case 3: case 4: case 5: {
        QPushButton *const buttons[] = {dialog->CmdUseDriver, dialog->CmdAddDriver, dialog->CmdDeleteDriver};
        QPushButton *b = pick(buttons);
        action_ = [b, nameIsTyped] { QTest::mouseClick(b, Qt::LeftButton); nameIsTyped(); };
        return "click " + b->objectName();
    }
    default:
        action_ = [dialog] { dialog->close(); };
        return QStringLiteral("close the driver library");
    }
}
QString Monkey::about()
{
    action_ = [this] { window_->MnuAbout->trigger(); };
    return QStringLiteral("Help > About");
}
// The drivers in the box: a count typed with Enter (mostly one a builder would use), a wiring, or
// the isobaric pairs clicked.
QString Monkey::drivers()
{
    const int kind = below(3);
    const QString count = chance(80) ? QString::number(1 + below(8)) : typedText();
    const int wiring = below(4) - 1; // -1: no choice at all
    action_ = [this, kind, count, wiring] {
        window_->SSTab->setCurrentIndex(FrmKelvane::TabBoxModel);
        if (kind == 0)
            typeInto(window_->BoxModel->TxtDriverCount, count);
        else if (kind == 1)
            window_->BoxModel->CboWiring->setCurrentIndex(wiring);
        else
            QTest::mouseClick(window_->BoxModel->ChkIsobaric, Qt::LeftButton, {}, QPoint(6, window_->BoxModel->ChkIsobaric->height() / 2));
    };
    return kind == 0 ? "drivers " + quoted(count) : kind == 1 ? QStringLiteral("wiring %1").arg(wiring) : QStringLiteral("isobaric pairs");
}
// ---- More Boxes tab: begin ----
// The radiator box or the bandpass box calculated from entries mostly a builder would make,
// sometimes odd ones; the bandpass chambers emptied for a fresh design now and then.
QString Monkey::moreBoxes()
{
    MoreBoxesTab *tab = window_->MoreBoxes;
    const bool bandpass = chance(50), odd = chance(20);
    const auto number = [&](const QStringList &usual) { return odd && chance(50) ? typedText() : pick(usual); };
    QList<std::pair<QLineEdit *, QString>> texts;
    if (bandpass) {
        if (chance(40))
            for (QLineEdit *f : {tab->TxtBPRearVolume, tab->TxtBPFrontVolume, tab->TxtBPFb})
                texts.append({f, QString()});
        texts.append({tab->TxtBPRipple, number({"0.4", "0.5", "0.6", "0.7", "0.9"})});
        texts.append({tab->TxtBPGain, number({"1", "3", "6", "10"})});
        texts.append({tab->TxtBPVentDia, number({"", "2", "3", "4", "8"})});
    } else {
        texts.append({tab->TxtPRSd, number({"50", "130", "330", "500"})});
        texts.append({tab->TxtPRMms, number({"10", "60", "150", "400"})});
        texts.append({tab->TxtPRVas, number({"0.2", "1.5", "20", "60"})});
        texts.append({tab->TxtPRXmax, number({"", "5", "12", "20"})});
        texts.append({tab->TxtPRCount, number({"1", "2", "4"})});
    }
    action_ = [this, tab, texts, bandpass] {
        window_->SSTab->setCurrentIndex(FrmKelvane::TabMoreBoxes);
        for (const auto &[field, text] : texts) {
            field->setText(text);
            userText_[field] = text;
        }
        (bandpass ? tab->CmdCalculateBP : tab->CmdCalculatePR)->click();
    };
    QStringList shown;
    for (const auto &[field, text] : texts)
        shown << field->objectName() + "=" + quoted(text);
    return (bandpass ? "bandpass " : "passive radiator ") + shown.join(u' ');
}
// ---- More Boxes tab: end ----

// ---- Measure Driver window: begin ----
// Opened from the Tools menu; its fields typed into, its lists chosen, its pages switched, its
// buttons clicked (the file dialogs are closed unanswered) and curves loaded as a chosen file
// would be: a driver, the same with a mass on the cone, a vented box, a resistor, a file that is
// no curve and one that is not there, all written by the run outside its folder.
QString Monkey::measureDriver()
{
    auto *dialog = window_->findChild<DlgMeasureDriver *>();
    if (!dialog || !dialog->isVisible()) {
        action_ = [this] { window_->MnuMeasureDriver->trigger(); };
        return QStringLiteral("Tools > Measure Driver");
    }
    switch (below(6)) {
    case 0: case 1: {
        QLineEdit *const fields[] = {dialog->TxtMeasureRe, dialog->TxtAddedMass, dialog->TxtMeasureSd, dialog->TxtTestBoxVolume};
        QLineEdit *f = pick(fields);
        const QString text = chance(70) ? pick(QStringList{"", "5.6", "6", "20", "25", "150", "220", "40", "90"}) : typedText();
        action_ = [f, text] { typeInto(f, text); };
        return "type " + quoted(text) + " into " + f->objectName() + " + Enter";
    }
    case 2: {
        const int which = below(3), index = below(3);
        action_ = [dialog, which, index] {
            if (which == 0)
                dialog->CboVasMethod->setCurrentIndex(index % 2);
            else if (which == 1)
                dialog->CboMeasuredVent->setCurrentIndex(std::min(index, dialog->CboMeasuredVent->count() - 1));
            else
                dialog->TabMeasure->setCurrentIndex(index % 2);
        };
        return QStringLiteral("choose %1 in %2").arg(index).arg(QLatin1String(which == 0 ? "CboVasMethod" : which == 1 ? "CboMeasuredVent" : "TabMeasure"));
    }
    case 3: case 4: {
        const QString file = QLatin1String(pick({"woofer.zma", "mass.zma", "box.zma", "resistor.zma", "junk.zma", "missing.zma"}));
        const int how = below(3);
        const QString path = curves_.filePath(file);
        action_ = [dialog, how, path] {
            how == 0 ? dialog->loadFreeAir(path) : how == 1 ? dialog->loadSecond(path) : dialog->loadBoxImpedance(path);
        };
        return QStringLiteral("load %1 as the %2 curve").arg(file, QLatin1String(how == 0 ? "free-air" : how == 1 ? "second" : "box"));
    }
    default: {
        QPushButton *const buttons[] = {dialog->CmdLoadFreeAir, dialog->CmdLoadSecond, dialog->CmdLoadBoxImpedance,
                                        dialog->CmdUseMeasured, dialog->CmdAddMeasuredToLibrary, dialog->CmdCloseMeasure};
        QPushButton *b = pick(buttons);
        // Use puts the measured driver's name into TxtName, as a user could have typed it.
        action_ = [this, b] { QTest::mouseClick(b, Qt::LeftButton); userText_[window_->Input->TxtName] = window_->Input->TxtName->text(); };
        return "click " + b->objectName();
    }
    }
}
void Monkey::writeCurves()
{
    using kelvane::measure::DriverModel;
    const DriverModel woofer{5.6, 30, 4, 0.5, 0.8e-3, 0.3e-3, 6}, loaded{5.6, 24, 4, 0.56, 0.8e-3, 0.3e-3, 6};
    const std::function<std::complex<double>(double)> curves[] = {
        [&](double f) { return kelvane::measure::impedance(woofer, f); },
        [&](double f) { return kelvane::measure::impedance(loaded, f); },
        [&](double f) { return kelvane::measure::ventedImpedance(woofer, 1.2, 28, 7, f); },
        [](double) { return std::complex<double>(8); }};
    const char *const names[] = {"woofer.zma", "mass.zma", "box.zma", "resistor.zma"};
    for (int k = 0; k < 4; ++k) {
        QFile f(curves_.filePath(QLatin1String(names[k])));
        if (!f.open(QIODevice::WriteOnly))
            continue;
        for (int i = 0; i < 300; ++i) {
            const double hz = 10 * std::pow(2000.0, i / 299.0);
            const std::complex<double> z = curves[k](hz);
            f.write(QByteArray::number(hz) + ' ' + QByteArray::number(std::abs(z)) + ' ' + QByteArray::number(std::arg(z) * 57.3) + '\n');
        }
    }
    QFile junk(curves_.filePath(QStringLiteral("junk.zma")));
    if (junk.open(QIODevice::WriteOnly))
        junk.write("Freq Ohm\n10 8\nten 9\n");
}
// ---- Measure Driver window: end ----

// ---- Crossover tab's drivers: begin ----
// The drivers' files loaded (the Measure Driver window's curves, as responses too, a file that is
// no curve and one that is not there), cleared, the box, graph and polarity chosen, the parts as
// built and the tweeter's level and offset typed, the crossover curves exported; mostly after a
// crossover is calculated.
QString Monkey::crossoverDrivers()
{
    CrossoverDriversPanel *panel = window_->Crossover->CrossoverDrivers;
    switch (below(6)) {
    case 0: {
        const QString file = QLatin1String(pick({"woofer.zma", "box.zma", "resistor.zma", "junk.zma", "missing.zma"}));
        const int slot = below(4);
        const QString path = curves_.filePath(file);
        action_ = [this, panel, slot, path] {
            window_->SSTab->setCurrentIndex(FrmKelvane::TabCrossover);
            panel->loadFile(CrossoverDriversPanel::File(slot), path);
        };
        return QStringLiteral("load %1 into the crossover's slot %2").arg(file).arg(slot);
    }
    case 1: {
        const bool woofer = chance(50);
        action_ = [panel, woofer] { (woofer ? panel->CmdWooferClearData : panel->CmdTweeterClearData)->click(); };
        return QLatin1String(woofer ? "CmdWooferClearData" : "CmdTweeterClearData");
    }
    case 2: {
        const int which = below(3), index = below(4);
        action_ = [this, panel, which, index] {
            window_->SSTab->setCurrentIndex(FrmKelvane::TabCrossover);
            if (which == 0)
                panel->CboCrossoverBox->setCurrentIndex(index % 2);
            else if (which == 1)
                panel->CboCrossoverGraph->setCurrentIndex(index);
            else
                QTest::mouseClick(panel->ChkTweeterReversed, Qt::LeftButton, {}, QPoint(6, panel->ChkTweeterReversed->height() / 2));
        };
        return which == 0 ? QStringLiteral("CboCrossoverBox %1").arg(index % 2)
             : which == 1 ? QStringLiteral("CboCrossoverGraph %1").arg(index) : QStringLiteral("ChkTweeterReversed");
    }
    case 3: {
        QLineEdit *const fields[] = {panel->TxtWooferPartUsed[0], panel->TxtWooferPartUsed[1], panel->TxtWooferPartUsed[2],
                                     panel->TxtTweeterPartUsed[0], panel->TxtTweeterPartUsed[1], panel->TxtTweeterPartUsed[3],
                                     panel->TxtTweeterSPL, panel->TxtAcousticOffset};
        QLineEdit *f = pick(fields);
        const QString text = chance(70) ? pick(QStringList{"", "0.47", "1.2", "3.3", "8.2", "-15", "25", "88", "0"}) : typedText();
        action_ = [this, f, text] {
            window_->SSTab->setCurrentIndex(FrmKelvane::TabCrossover);
            typeInto(f, text);
        };
        return "type " + quoted(text) + " into " + f->objectName() + " + Enter";
    }
    case 4: {
        action_ = [this] { window_->MnuExportCrossoverCurves->trigger(); };
        return QStringLiteral("File > Export Crossover Curves");
    }
    default: {
        const int type = below(5);
        action_ = [this, type] {
            window_->SSTab->setCurrentIndex(FrmKelvane::TabCrossover);
            for (const auto &[field, text] : {std::pair{window_->Crossover->TxtZ, "8"}, {window_->Crossover->Text2, "6"}, {window_->Crossover->Text3, "2500"},
                                              {window_->Crossover->Text4, "2500"}})
                if (field->text().isEmpty())
                    field->setText(QLatin1String(text));
            window_->Crossover->OptCrossoverType[std::size_t(type)]->click();
            window_->Crossover->CmdCalculateCrossover->click();
        };
        return QStringLiteral("calculate the crossover of type %1").arg(type);
    }
    }
}
// ---- Crossover tab's drivers: end ----

// The crossover as built: coil resistances, pad, baffle, percent and power typed, the series
// chosen, Suggest Pad, the optimizer run (or cancelled at once) and undone.
QString Monkey::crossoverAsBuilt()
{
    CrossoverDriversPanel *panel = window_->Crossover->CrossoverDrivers;
    switch (below(5)) {
    case 0: {
        QLineEdit *const fields[] = {panel->TxtWooferPartDCR[0], panel->TxtWooferPartDCR[2], panel->TxtTweeterPartDCR[1],
                                     panel->TxtTweeterPartDCR[3], panel->TxtTweeterPad, panel->TxtBaffleWidth,
                                     panel->TxtBafflePercent, panel->TxtCrossoverPower};
        QLineEdit *f = pick(fields);
        const QString text = chance(70) ? pick(QStringList{"", "0", "0.5", "3", "6.5", "20", "21", "100", "250", "1e3"}) : typedText();
        action_ = [this, f, text] {
            window_->SSTab->setCurrentIndex(FrmKelvane::TabCrossover);
            typeInto(f, text);
        };
        return "type " + quoted(text) + " into " + f->objectName() + " + Enter";
    }
    case 1: {
        const int index = below(2);
        action_ = [panel, index] { panel->CboPartSeries->setCurrentIndex(index); };
        return QStringLiteral("CboPartSeries %1").arg(index);
    }
    case 2:
        action_ = [panel] { panel->CmdSuggestPad->click(); };
        return QStringLiteral("CmdSuggestPad");
    case 3: {
        const bool cancel = chance(50);
        action_ = [this, panel, cancel] {
            panel->CmdOptimize->click();
            if (cancel)
                panel->CmdCancelOptimize->click();
            // The run ends before the next event, so that a seed gives the same events and
            // screens however fast the machine is (and the locales' traces can be compared).
            // The search runs in its own thread and may take seconds under the sanitizers; the
            // window's thread answers all the while, which is what the hang bound watches. The
            // search itself is bounded by its count of evaluations: two minutes is far past it.
            QDeadlineTimer limit(120000);
            while (panel->optimizing() && !limit.hasExpired()) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
                windowAnswers();
            }
            if (panel->optimizing())
                eventFault_ = QStringLiteral("the optimizer was still searching after two minutes");
        };
        return cancel ? QStringLiteral("CmdOptimize, then CmdCancelOptimize") : QStringLiteral("CmdOptimize");
    }
    default:
        action_ = [panel] { panel->CmdUndoOptimize->click(); };
        return QStringLiteral("CmdUndoOptimize");
    }
}

} // namespace monkey
