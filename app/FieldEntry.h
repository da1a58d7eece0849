// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the window's entry fields take keys, shared by the tabs: a numeric field commits its number on
// Enter into its value of the design state (with the plausibility warning of that value), other
// controls hand each key to their own *_KeyPress handler, every field selects its whole text when it
// gets the focus, and a handler that wants the focus to move on queues a Tab keystroke.

#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <vector>

class QLineEdit;
class QWidget;

class FieldEntry : public QObject
{
public:
    // A key handler receives the key code by reference; 0 discards the key.
    using KeyHandler = std::function<void(int &KeyAscii)>;

    // One numeric entry field committed on Enter (the common family of key handlers).
    struct Numeric {
        QLineEdit *field = nullptr;
        double *shared = nullptr;      // nullptr: the number is tested and discarded
        bool queueTab = true;          // move the focus on after Enter
        bool zeroTextMessage = true;   // a text of exactly "0" is reported
        bool clearOnZero = true;       // a zero value empties the field (or resets it)
        QString resetText;             // what a zero value leaves in the field
        std::function<bool(double)> unusual; // plausible-range test; empty = none
        // A volume: the unit typed in (0 cubic feet, 1 litres, 2 cubic metres); it is kept in cubic
        // feet. Empty for other numbers.
        std::function<int()> volumeUnit;
        // A value of one driver that is kept for the drivers in the box together (Vas): one driver's
        // value, in cubic feet, to theirs. Empty: kept as typed.
        std::function<double(double)> together;
    };

    // What the design state keeps of a number typed into the entry's field: in cubic feet for a
    // volume, for the drivers together where they count. A conversion that overflows counts as no
    // number (0); Calculate reports it.
    static double keptValue(const Numeric &entry, double typed);

    // window: where the queued Tab goes (its focus widget).
    explicit FieldEntry(QWidget *window);

    void addNumeric(const Numeric &entry);
    void onKey(QWidget *control, KeyHandler handler);
    void onClick(QWidget *control, std::function<void()> handler);
    const std::vector<Numeric> &numericEntries() const { return numeric_; }

    // Queues a Tab keystroke: the focus moves to the next control once the handler has finished.
    void queueTab();
    void flushQueuedTab();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void commitNumeric(const Numeric &entry, int &KeyAscii);
    // Runs the key handler of the control; false when the control has none.
    bool dispatchKey(QObject *watched, int &KeyAscii);
    void watch(QObject *control);

    QWidget *window_;
    std::vector<Numeric> numeric_;
    std::map<QObject *, KeyHandler> keys_;
    std::map<QObject *, std::function<void()>> clicks_;
    std::vector<QObject *> watched_;
    bool tabQueued_ = false;
};
