// SPDX-License-Identifier: GPL-3.0-or-later
// Entry of the window's fields: key filters, the commit on Enter into the design state, plausibility
// warnings, the whole text selected on focus, and the Tab a handler queues.

#include "app/FieldEntry.h"
#include "common/NumberText.h"
#include "driver/Program.h"
#include "models/VolumeUnit.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cmath>

using namespace Program;

FieldEntry::FieldEntry(QWidget *window) : QObject(window), window_(window) {}

void FieldEntry::watch(QObject *control)
{
    if (std::find(watched_.begin(), watched_.end(), control) != watched_.end())
        return;
    watched_.push_back(control);
    control->installEventFilter(this);
}

void FieldEntry::addNumeric(const Numeric &entry)
{
    numeric_.push_back(entry);
    watch(entry.field);
}

void FieldEntry::onKey(QWidget *control, KeyHandler handler)
{
    keys_[control] = std::move(handler);
    watch(control);
}

void FieldEntry::onClick(QWidget *control, std::function<void()> handler)
{
    clicks_[control] = std::move(handler);
    watch(control);
}

bool FieldEntry::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        if (auto *f = qobject_cast<QLineEdit *>(watched)) {
            // Typing replaces the whole value: select it all whenever the field gets the focus.
            // A mouse click places the caret after the focus arrives, so select once it has.
            f->selectAll();
            if (static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason)
                QTimer::singleShot(0, f, [f] { f->selectAll(); });
        }
        break;
    case QEvent::MouseButtonPress:
        if (auto click = clicks_.find(watched); click != clicks_.end())
            click->second();
        break;
    case QEvent::KeyPress: {
        int KeyAscii = Program::KeyAsciiOf(static_cast<QKeyEvent *>(event));
        if (KeyAscii < 0)
            break;
        const bool handled = dispatchKey(watched, KeyAscii);
        flushQueuedTab();
        if (handled && KeyAscii == 0)
            return true;
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

bool FieldEntry::dispatchKey(QObject *watched, int &KeyAscii)
{
    for (const Numeric &entry : numeric_) {
        if (entry.field == watched) {
            commitNumeric(entry, KeyAscii);
            return true;
        }
    }
    const auto key = keys_.find(watched);
    if (key == keys_.end())
        return false;
    key->second(KeyAscii);
    return true;
}

void FieldEntry::commitNumeric(const Numeric &entry, int &KeyAscii)
{
    if (KeyAscii != KeyEnter) {
        NumericKeyFilter(KeyAscii);
        return;
    }
    KeyAscii = 0;
    if (entry.queueTab)
        queueTab();
    double scratch = 0;
    double &value = entry.shared ? *entry.shared : scratch;
    ValidateNumber(entry.field->text(), value);
    const double typed = value;
    // The graphs and the box-and-vent tab read the value again, so it is kept as Calculate keeps it.
    value = keptValue(entry, typed);
    if (entry.zeroTextMessage && entry.field->text() == QLatin1String("0")) {
        ShowNumberError();
        entry.field->setText(entry.resetText);
    } else if (entry.clearOnZero && typed == 0) {
        entry.field->setText(entry.resetText);
    } else if (entry.unusual && typed != 0 && entry.unusual(typed)) {
        ShowUnusualValue();
    }
}

double FieldEntry::keptValue(const Numeric &entry, double typed)
{
    double kept = entry.volumeUnit ? kelvane::volume::toCubicFeet(typed, entry.volumeUnit()) : typed;
    if (entry.together)
        kept = entry.together(kept);
    return std::isfinite(kept) ? kept : 0.0;
}

void FieldEntry::queueTab()
{
    tabQueued_ = true;
}

void FieldEntry::flushQueuedTab()
{
    // The Tab keystroke goes into the input queue only once the handler (and any message it
    // showed) has finished, so the focus moves from where the handler left it.
    if (!tabQueued_)
        return;
    tabQueued_ = false;
    QWidget *target = window_->focusWidget() ? window_->focusWidget() : window_;
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier,
                                                      QStringLiteral("\t")));
}
