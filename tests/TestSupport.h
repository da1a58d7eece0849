#pragma once
// Helpers shared by the window tests: find controls by objectName, type into fields like a user,
// and read and close the program's modal message boxes as they appear.

#include "app/FrmKelvane.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

namespace testsupport {

// The offscreen platform warns about every top-level window it cannot resize by hints; the noise
// hides real warnings in the test logs, so that one message is dropped.
inline const bool quietOffscreenHints = [] {
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &ctx, const QString &msg) {
        if (msg.contains(QLatin1String("propagateSizeHints")))
            return;
        if (previous)
            previous(type, ctx, msg);
    });
    return true;
}();

struct Message {
    QString title;
    QString text;
    bool operator==(const Message &o) const { return title == o.title && text == o.text; }
};

// While alive, answers every modal message box with OK and records its title and text.
class MessageCatcher
{
public:
    MessageCatcher()
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }
    QStringList texts() const
    {
        QStringList out;
        for (const Message &m : messages_)
            out << m.text;
        return out;
    }
    const QList<Message> &messages() const { return messages_; }
    void clear() { messages_.clear(); }

private:
    void poll()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || box == answered_)
            return;
        answered_ = box;
        messages_.append({box->windowTitle(), box->text()});
        QAbstractButton *ok = box->button(QMessageBox::Ok);
        if (ok)
            ok->click();
        else
            box->done(0);
    }
    QTimer timer_;
    QPointer<QMessageBox> answered_;
    QList<Message> messages_;
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

// Driver data set into the fields as if pasted, Vas in cubic feet (not calculated yet).
inline void setDriver(FrmKelvane *w, const QString &fs, const QString &qts, const QString &vas)
{
    w->OptVas[0]->setChecked(true);
    w->TxtFs->setText(fs);
    w->TxtQts->setText(qts);
    w->TxtVas->setText(vas);
}

} // namespace testsupport
