// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers shared by the window tests: drive the real window with a short script of user steps, read
// back what it shows in the same "Name=text" form, and catch the program's modal message boxes.

#include "app/FrmKelvane.h"
#include "driver/Program.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPrinter>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace testsupport {

struct Message {
    QString title;
    QString text;
    bool operator==(const Message &o) const { return title == o.title && text == o.text; }
};

// The program's own messages by a short name, so that table rows stay readable.
inline QString shortMessage(const Message &m)
{
    const std::pair<const QString &, const char *> known[] = {
        {Program::NumberErrorText, "number"}, {Program::MoreDataNeededText, "more"},
        {Program::UnusualValueText, "unusual"}, {Program::FsLimitText, "fs"},
        {Program::QtcErrorText, "qtc"}, {Program::PrintProblemText, "print"}, {Program::DriverCountErrorText, "count"}};
    for (const auto &[text, name] : known)
        if (m.text == text && m.title == QLatin1String("Error"))
            return QLatin1String(name);
    return m.title + QStringLiteral(": ") + m.text;
}

// While alive, answers every modal message box (OK, or the given button) and records it; any other
// modal window (About, a file dialog) is rejected and its name recorded, an open popup menu closed.
class MessageCatcher
{
public:
    explicit MessageCatcher(QMessageBox::StandardButton answer = QMessageBox::Ok, int intervalMs = 5) : answer_(answer)
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(intervalMs);
    }
    // The messages shown, short names joined by " | ".
    QString shown() const
    {
        QStringList out;
        for (const Message &m : messages)
            out << shortMessage(m);
        return out.join(QLatin1String(" | "));
    }
    // The texts of the messages shown, in full.
    QStringList texts() const
    {
        QStringList out;
        for (const Message &m : messages)
            out << m.text;
        return out;
    }
    void clear() { messages.clear(); }
    QList<Message> messages;
    QStringList dialogs;
    bool rejectDialogs = true; // false: a test answers its dialogs itself

private:
    void poll()
    {
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == answered_)
            return;
        answered_ = modal;
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            messages.append({box->windowTitle(), box->text()});
            QAbstractButton *b = box->button(answer_) ? box->button(answer_) : box->button(QMessageBox::Ok);
            b ? b->click() : box->done(0);
        } else if (rejectDialogs) {
            dialogs << modal->objectName();
            qobject_cast<QDialog *>(modal) ? qobject_cast<QDialog *>(modal)->reject() : void(modal->close());
        }
    }
    QMessageBox::StandardButton answer_;
    QTimer timer_;
    QPointer<QWidget> answered_;
};

template <typename T = QWidget>
T *find(QWidget *root, const QString &name)
{
    T *w = root->findChild<T *>(name);
    if (!w)
        qFatal("no control named %s", qPrintable(name));
    return w;
}

// A fresh main window, shown and active, with the focus where Form_Load left it.
inline std::unique_ptr<FrmKelvane> freshWindow()
{
    auto w = std::make_unique<FrmKelvane>();
    w->activateWindow();
    if (!QTest::qWaitForWindowActive(w.get()))
        qWarning("main window did not become active");
    return w;
}

// Focus a field, type text the way a user would (each key through the key handlers), then Enter.
inline void typeInto(QLineEdit *field, const QString &text, bool enter = true)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    if (enter)
        QTest::keyClick(field, Qt::Key_Return);
}

// One column of the current data row, for use inside an expression: fetch<QString>("fs").
template <typename T>
T fetch(const char *column)
{
    return *static_cast<T *>(QTest::qData(column, qMetaTypeId<T>()));
}

// Lets queued keystrokes (the Tab after Enter) and timers run.
inline void settle(int ms = 20)
{
    QTest::qWait(ms);
}

// Carries out user steps separated by "; ":
//   Name=text   a field's text set as if pasted       Name<text   typed key by key, then Enter
//   Name        a click on a button or an option       tab=N       that tab brought to the front
inline void act(FrmKelvane *w, const QString &script)
{
    for (const QString &step : script.split(QLatin1String("; "), Qt::SkipEmptyParts)) {
        const qsizetype at = step.indexOf(QRegularExpression(QStringLiteral("[=<]")));
        const QString name = step.left(at), value = at < 0 ? QString() : step.mid(at + 1);
        if (name == QLatin1String("tab"))
            w->SSTab->setCurrentIndex(value.toInt());
        else if (at < 0)
            find<QAbstractButton>(w, name)->click();
        else if (step.at(at) == u'<')
            typeInto(find<QLineEdit>(w, name), value);
        else
            find<QLineEdit>(w, name)->setText(value);
        if (at >= 0 && step.at(at) == u'<')
            settle();
    }
}

// What the named controls show, in the form "Name=text; Name=text" of `names` (whose values are
// ignored): a label's or field's text; "on"/"off" for an option's check or a button's enabled
// state; "focus" is the control with the focus, "tab" the tab in front, "title" the window's.
inline QString shown(FrmKelvane *w, const QString &names)
{
    QStringList out;
    for (const QString &entry : names.split(QLatin1String("; "), Qt::SkipEmptyParts)) {
        const QString name = entry.section(u'=', 0, 0);
        QString value;
        if (name == QLatin1String("focus"))
            value = w->focusWidget() ? w->focusWidget()->objectName() : QString();
        else if (name == QLatin1String("tab"))
            value = QString::number(w->SSTab->currentIndex());
        else if (name == QLatin1String("title"))
            value = w->windowTitle();
        else if (QWidget *c = find(w, name); auto *l = qobject_cast<QLabel *>(c))
            value = l->text();
        else if (auto *f = qobject_cast<QLineEdit *>(c))
            value = f->text();
        else if (auto *b = qobject_cast<QAbstractButton *>(c))
            value = (b->isCheckable() ? b->isChecked() : b->isEnabled()) ? QStringLiteral("on") : QStringLiteral("off");
        out << name + u'=' + value;
    }
    return out.join(QLatin1String("; "));
}

// The table row of a window behaviour: on a fresh window the steps of column "steps" show the
// messages of column "messages" and then what column "shows" names.
inline void checkRow(FrmKelvane *w)
{
    MessageCatcher catcher;
    act(w, fetch<QString>("steps"));
    settle();
    QCOMPARE(catcher.shown(), fetch<QString>("messages"));
    QCOMPARE(shown(w, fetch<QString>("shows")), fetch<QString>("shows"));
}
inline void addStepColumns()
{
    for (const char *c : {"steps", "messages", "shows"})
        QTest::addColumn<QString>(c);
}

// The name of the first label or field that shows "nan" or "inf", or an empty string: a failed
// calculation must never put a non-finite value on screen.
inline QString nonFiniteShown(QWidget *root)
{
    const QRegularExpression nonFinite(QStringLiteral("\\b(nan|inf)\\b"), QRegularExpression::CaseInsensitiveOption);
    for (QWidget *c : root->findChildren<QWidget *>()) {
        const auto *l = qobject_cast<QLabel *>(c);
        const auto *f = qobject_cast<QLineEdit *>(c);
        if ((l && nonFinite.match(l->text()).hasMatch()) || (f && nonFinite.match(f->text()).hasMatch()))
            return c->objectName();
    }
    return QString();
}

// The driver of most window tests, Vas in cubic feet, as pasted (not calculated yet).
inline const QString Driver50 = QStringLiteral("OptVas(0); TxtFs=50; TxtQts=0.35; TxtVas=2; ");
inline const QString Driver30 = QStringLiteral("OptVas(0); TxtFs=30; TxtQts=0.4; TxtVas=3; ");

// While alive, the current folder is a fresh temporary one.
class InTempFolder
{
public:
    InTempFolder() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
    ~InTempFolder() { QDir::setCurrent(previous_); }
    QString path(const QString &name = QString()) const { return name.isEmpty() ? dir_.path() : dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    QString previous_;
};

inline std::unique_ptr<QPrinter> pdfPrinter(const QString &file)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(file);
    return printer;
}

} // namespace testsupport
