// SPDX-License-Identifier: GPL-3.0-or-later
// The random run itself: the events one after another, each followed by the checks (see Monkey.h).

#include "Monkey.h"

#include "app/Controls.h"

namespace monkey {

namespace {

constexpr int HangBoundSeconds = 10; // anything longer for one event is a hang, not slowness

// Aborts the whole program when one event runs past the bound (a hang in the window's thread cannot
// be detected from that thread), naming the event.
char hungEvent[512];
void armWatchdog(const QString &what)
{
    qstrncpy(hungEvent, qPrintable(QStringLiteral("FAIL: event did not finish within %1 s: %2\n").arg(HangBoundSeconds).arg(what)), sizeof hungEvent);
    std::signal(SIGALRM, [](int) {
        (void)!write(2, hungEvent, strlen(hungEvent));
        std::abort();
    });
    alarm(what.isEmpty() ? 0 : HangBoundSeconds);
}

} // namespace

void Monkey::windowAnswers()
{
    alarm(HangBoundSeconds);
}

// Runs the events; an empty result means every check held.
QString Monkey::run(int events)
{
    newWindow();
    for (int n = 0; n < events; ++n) {
        action_ = {};
        QString what;
        for (int roll = below(100), i = 0; what.isEmpty(); ++i) {
            const auto &[weight, event] = Events[i % std::size(Events)];
            if ((roll -= weight) < 0 || i >= int(std::size(Events)))
                what = (this->*event)();
        }
        what.replace(QChar(0), QLatin1String("\\0")); // a NUL in a pasted text would end the failure message there
        armWatchdog(QStringLiteral("seed %1 event %2: %3").arg(seed_).arg(n).arg(what));
        action_();
        for (int i = 0; i < 3; ++i) // queued keystrokes (the Tab after Enter) and zero timers
            QCoreApplication::processEvents();
        armWatchdog({});
        history_ = (history_ << QStringLiteral("%1: %2").arg(n).arg(what)).mid(std::max(0, int(history_.size()) - 25));
        if (const QString fault = check(); !fault.isEmpty())
            return QStringLiteral("seed %1, event %2 (%3): %4\nlast events:\n  %5")
                .arg(seed_).arg(n).arg(what, fault, history_.join(QLatin1String("\n  ")));
        if (trace_)
            *trace_ << what << snapshot();
        if (!window_->isVisible())
            newWindow();
    }
    // What the run reached, so a change that starves some path shows in the log.
    qInfo("seed %llu: %d files saved; messages: %s", seed_, int(QDir(workDir_).entryList(QDir::Files).size()),
          qPrintable(QStringList(seenMessages_.begin(), seenMessages_.end()).join(QLatin1String(", "))));
    return {};
}


// The texts a design file holds were typed by a user too, so they may spell "nan" as well: a
// field showing the text of the file it was opened from counts as typed.
void Monkey::openWithFileTexts(const QString &path, const std::function<void()> &open)
{
    const kelvane::design::ReadResult read = kelvane::design::readFile(path);
    open();
    for (std::size_t i = 0; read.ok() && i < kelvane::design::TextFields.size(); ++i)
        if (auto *f = window_->findChild<QLineEdit *>(QLatin1String(kelvane::design::TextFields[i].name)))
            if (f->text() == read.design.texts[i])
                userText_[f] = read.design.texts[i];
    // More Boxes tab: its fields are kept in the file too.
    for (std::size_t i = 0; read.ok() && i < kelvane::design::MoreBoxesFields.size(); ++i)
        if (auto *f = window_->findChild<QLineEdit *>(QLatin1String(kelvane::design::MoreBoxesFields[i].name)))
            if (f->text() == read.design.moreBoxes.texts[i])
                userText_[f] = f->text();
    if (!read.ok())
        return;
    // The count of drivers in the box is kept as typed.
    if (window_->BoxModel->TxtDriverCount->text() == read.design.drivers.count)
        userText_[window_->BoxModel->TxtDriverCount] = read.design.drivers.count;
    // The Crossover tab's drivers panel: its typed values are kept in the file as typed.
    const kelvane::design::CrossoverDriversSettings &x = read.design.crossoverDrivers;
    QStringList kept{x.tweeterSpl, x.offset, x.pad, x.baffleWidth, x.bafflePercent, x.power};
    for (const auto *texts : {&x.wooferUsed, &x.tweeterUsed, &x.wooferDcr, &x.tweeterDcr})
        kept << QStringList(texts->begin(), texts->end());
    if (auto *panel = window_->findChild<CrossoverDriversPanel *>())
        for (QLineEdit *f : panel->findChildren<QLineEdit *>())
            if (kept.contains(f->text()))
                userText_[f] = f->text();
}

void Monkey::newWindow()
{
    userText_.clear();
    window_ = std::make_unique<FrmKelvane>();
    window_->activateWindow();
    // A text the user typed or pasted may spell "nan" or "inf" itself; only the program's own
    // texts are held to the rule.
    for (QLineEdit *f : window_->findChildren<QLineEdit *>())
        QObject::connect(f, &QLineEdit::textEdited, [this, f](const QString &t) { userText_[f] = t; });
}

QList<GraphPicture *> Monkey::pictures() const
{
    QList<GraphPicture *> out{window_->Frequency->PicFrequency, window_->Displacement->PicDisplacementLimit, window_->Crossover->Picture1,
                              window_->CrossoverPlans->PicCrossoverPlan, window_->Analysis->PicAnalysis};
    if (auto *dialog = window_->findChild<DlgMeasureDriver *>())
        out << dialog->PicMeasuredImpedance;
    return out;
}

// Every caption, field text, button state, graph text and message, in a fixed order.
QString Monkey::snapshot()
{
    QStringList out{QString::number(window_->SSTab->currentIndex())};
    for (QLabel *l : window_->findChildren<QLabel *>())
        out << l->text();
    for (QLineEdit *e : window_->findChildren<QLineEdit *>())
        out << e->text();
    for (QPushButton *b : window_->findChildren<QPushButton *>())
        out << (b->isEnabled() ? "on" : "off");
    for (GraphPicture *picture : pictures())
        out << picture->texts();
    for (const Message &m : lastMessages_) // the run's folder has another name in every run
        out << m.title << QString(m.text).replace(workDir_, QStringLiteral("<folder>"));
    return out.join(u'|');
}

// ---- Checks after every event ----
QString Monkey::check()
{
    if (!eventFault_.isEmpty())
        return std::exchange(eventFault_, {});
    if (QWidget *modal = QApplication::activeModalWidget())
        return "a modal window stayed open: " + modal->windowTitle();
    lastMessages_ = std::exchange(closer_.messages, {});
    for (const Message &m : lastMessages_) {
        seenMessages_.insert(m.text.left(45));
        if (!isOwnMessage(m))
            return QStringLiteral("unknown message \"%1\" titled \"%2\"").arg(m.text, m.title);
    }
    for (const QString &dialog : std::exchange(closer_.dialogs, {}))
        if (!QStringList{"frmAbout", "DlgOpenDesign", "DlgSaveDesign", "DlgExportCurves", "DlgBuildSheet", "DlgExportPicture",
                         "DlgLoadFreeAir", "DlgLoadSecond", "DlgLoadBoxCurve", "DlgLoadDriverData", "DlgExportCrossoverCurves"}
                 .contains(dialog))
            return "unexpected dialog " + dialog;
    if (QString fault = nonFiniteShown(); !fault.isEmpty())
        return fault;
    if (QString fault = resultsOfOtherData(); !fault.isEmpty())
        return fault;
    return filesOutsideTheFolder();
}

// The fixed texts, each with its own title; the design files' messages and question; "The image
// could not be saved to <file>." for the bitmap of either graph or of the crossover plan, named
// after the driver or, for an unnamed driver, after the picture.
bool Monkey::isOwnMessage(const Message &m) const
{
    static const QRegularExpression design(QStringLiteral(
        "^The design could not be opened from .+: .+\\.$|^The (design|curves) could not be saved to .+\\.$"));
    static const QRegularExpression question(QStringLiteral("^Do you want to save the changes to .+\\?$"));
    static const QRegularExpression library(QStringLiteral(
        "^The driver on the Input tab cannot be added: .+\\.$|^\".*\" is already in the library\\. Replace it\\?$"
        "|^Delete \".*\" from the library\\?$"));
    if (m.title == QLatin1String("Driver Library"))
        return library.match(m.text).hasMatch();
    // The Measure Driver window: what is wrong with a curve, in plain words.
    if (m.title == DlgMeasureDriver::Title)
        return !m.text.isEmpty();
    if (m.title == QLatin1String("Kelvane"))
        return m.text == Program::PrintProblemText || question.match(m.text).hasMatch();
    if (m.title != QLatin1String("Error"))
        return false;
    // A driver's file the Crossover tab refused, named with what is wrong.
    static const QRegularExpression driverFile(QStringLiteral("^[^ /]+\\.zma: .+"));
    if (driverFile.match(m.text).hasMatch())
        return true;
    const QString name = window_->State.DriverName;
    for (const auto &[placeholder, suffix] : {std::pair{"FrequencyResponse", "Frequency"}, {"PowerResponse", "Limits"}, {"Crossover", "Plan"}})
        if (m.text == "The image could not be saved to " + (name.isEmpty() ? QLatin1String(placeholder) : name) + suffix + ".bmp.")
            return true;
    return !shortMessage(m).startsWith(QLatin1String("Error: ")) || design.match(m.text).hasMatch();
}

QString Monkey::nonFiniteShown()
{
    // "nan", "inf", "-nan", "infinity" as words of their own ("Resonance" is fine).
    static const QRegularExpression bad(QStringLiteral("(?<![a-z])(nan|inf)"), QRegularExpression::CaseInsensitiveOption);
    QList<std::pair<const QObject *, QString>> texts{{window_.get(), window_->windowTitle()}};
    for (QWidget *c : window_->findChildren<QWidget *>()) {
        if (auto *l = qobject_cast<QLabel *>(c))
            texts.append({c, l->text()});
        else if (auto *f = qobject_cast<QLineEdit *>(c); f && !(userText_.contains(f) && userText_[f] == f->text()))
            texts.append({c, f->text()});
        else if (auto *b = qobject_cast<QAbstractButton *>(c))
            texts.append({c, b->text()});
        else if (auto *g = qobject_cast<QGroupBox *>(c))
            texts.append({c, g->title()});
        else if (auto *list = qobject_cast<QComboBox *>(c))
            texts.append({c, list->currentText()});
    }
    for (int i = 0; i < window_->SSTab->count(); ++i)
        texts.append({window_->SSTab, window_->SSTab->tabText(i)});
    // A picture on show is 4 : 3 and never below 640 x 480.
    for (GraphPicture *picture : pictures())
        if (picture->isVisible() && (picture->width() < 640 || picture->width() * 3 != picture->height() * 4))
            return QStringLiteral("%1 is %2 x %3").arg(picture->objectName()).arg(picture->width()).arg(picture->height());
    // The texts drawn on every picture; the driver's name rows show what the user typed (a
    // picture drawn before the name changed shows the name of then).
    for (GraphPicture *picture : pictures())
        for (const QString &text : picture->texts())
            if (!text.startsWith(QLatin1String("                  Driver:  ")) && !text.startsWith(QLatin1String("Driver:  ")))
                texts.append({picture, text});
    for (const auto &[object, text] : texts)
        if (bad.match(text).hasMatch())
            return QStringLiteral("%1 shows \"%2\"").arg(object->objectName(), text.left(60));
    // A non-finite value kept in the window would reach the screen with the next caption.
    const FrmKelvane &w = *window_;
    const double values[] = {w.State.Fs, w.State.Qts, w.State.Qes, w.State.Qms, w.State.Vas, w.State.Qtc, w.State.Power, w.State.Vd, w.State.Sd, w.State.Dia, w.State.Xmax, w.State.VCHeight,
                             w.State.VCGap, w.State.Re, w.State.Z, w.State.AddVolume, w.State.PercentOverVolume, w.State.Efficiency, w.State.SPL, w.State.EBP,
                             w.State.VbSealed, w.State.Alpha, w.State.Fc, w.State.F3Sealed, w.State.PeakdBSealed, w.State.PeakFreqSealed, w.State.VbVented, w.State.Fb,
                             w.State.Qloss, w.State.F3Vented, w.State.PeakdBVented, w.State.PeakFreqVented, w.State.VbSealedBuild, w.State.VbVentedBuild,
                             w.State.VbVentedCuIn, w.State.DepthSealedA, w.State.DepthVentedA, w.State.AcousticPowerMax, w.State.SPLMax, w.State.VentVd,
                             w.State.MinVentDia, w.State.TweeterFs, w.State.TweeterZ, w.State.WooferXover, w.State.TweeterXover};
    for (std::size_t i = 0; i < std::size(values); ++i)
        if (!std::isfinite(values[i]))
            return QStringLiteral("the window keeps a non-finite value (number %1 of the list)").arg(i);
    for (std::size_t k = 0; k < w.State.VentLength.size(); ++k)
        if (!std::isfinite(w.State.VentLength[k]) || !std::isfinite(w.State.VentDia[k]) || !std::isfinite(w.State.VentSpeed[k]))
            return QStringLiteral("the window keeps a non-finite vent %1").arg(k);
    for (int f = 10; f <= 500; ++f)
        for (double v : {w.State.VentedResponse[f], w.State.SealedResponse[f], w.State.PaSealed[f], w.State.PaVented[f], w.State.SPLSealedLimit[f], w.State.SPLVentedLimit[f]})
            if (!std::isfinite(v))
                return QStringLiteral("a curve holds a non-finite value at %1 Hz").arg(f);
    return {};
}

// While the graph buttons are enabled the results are valid: they must belong to the Fs, Qts and
// Vas the Input tab shows (Vas: of the drivers in the box together).
QString Monkey::resultsOfOtherData() const
{
    const FrmKelvane &w = *window_;
    const double vasFactor[3] = {1.0, 0.0353145, 35.3145};
    const std::optional<double> fs = kelvane::parseNumber(w.Input->TxtFs->text());
    const std::optional<double> qts = kelvane::parseNumber(QLatin1Char('0') + w.Input->TxtQts->text());
    const std::optional<double> vas = kelvane::parseNumber(w.Input->TxtVas->text());
    const auto fault = [](const char *name, double value, QLineEdit *field) {
        return QStringLiteral("results shown for %1 %2 while the Input tab shows \"%3\"")
            .arg(QLatin1String(name), kelvane::generalNumber(value), field->text().left(40));
    };
    if (!w.BoxModel->CmdFrequency->isEnabled())
        return {};
    if (!fs || *fs != w.State.Fs)
        return fault("Fs", w.State.Fs, w.Input->TxtFs);
    if (!qts || *qts != w.State.Qts)
        return fault("Qts", w.State.Qts, w.Input->TxtQts);
    const double groupFactor = w.BoxModel->driverGroup({1}).equivalent.vas;
    if (!vas || *vas * vasFactor[std::max(0, controls::selectedIndex(w.Input->OptVas))] * groupFactor != w.State.Vas)
        return fault("Vas", w.State.Vas, w.Input->TxtVas);
    return {};
}

// Nothing may be written but bitmaps, designs and curves into the current folder, nothing next
// to it, and nothing under /tmp through a pasted path.
QString Monkey::filesOutsideTheFolder() const
{
    const auto all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    if (const QStringList around = QDir(rootDir_).entryList(all); around != QStringList{QFileInfo(workDir_).fileName()})
        return "files written next to the current folder: " + around.join(QLatin1String(", "));
    for (const QFileInfo &fi : QDir(workDir_).entryInfoList(all))
        if (!fi.isFile() || !QStringList{"bmp", "kelvane", "csv", "pdf", "png", "svg"}.contains(fi.suffix()))
            return "unexpected entry in the current folder: " + fi.fileName();
    if (QFileInfo::exists("/tmp/kelvane-monkey-escape") || QFileInfo::exists("/tmp/kelvane-monkey-escape.bmp"))
        return QStringLiteral("a file was written under /tmp through a pasted path");
    return {};
}

} // namespace monkey
