// Entry of driver data through the real window: key filters, Enter commits, messages, focus.

#include "TestSupport.h"
#include "driver/Program.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

using namespace testsupport;

class TestEntry : public QObject
{
    Q_OBJECT

private slots:
    void enterCommitsAndWarns_data();
    void enterCommitsAndWarns();
    void keyFilterAdmitsOnlyDigitsAndPoint();
    void nameFilter();
    void focusMovesAfterWarningIsClosed();
    void vasLetterShortcuts();
    void absurdAddedVolumeIsReported();
    void focusSelectsWholeText();
};

void TestEntry::enterCommitsAndWarns_data()
{
    for (const char *column : {"field", "typed", "textAfter"})
        QTest::addColumn<QString>(column);
    QTest::addColumn<QStringList>("messages");

    const QStringList none;
    const QStringList number{Program::NumberErrorText};
    const QStringList unusual{Program::UnusualValueText};
    QTest::newRow("empty Fs reports and stays empty") << "TxtFs" << "" << "" << number;
    QTest::newRow("Fs 0 reports and empties") << "TxtFs" << "0" << "" << number;
    QTest::newRow("Fs 0.0 empties silently") << "TxtFs" << "0.0" << "" << none;
    QTest::newRow("Fs 9.5 warns and stays") << "TxtFs" << "9.5" << "9.5" << unusual;
    QTest::newRow("Fs 10 is plausible") << "TxtFs" << "10" << "10" << none;
    QTest::newRow("lone point is not a number") << "TxtFs" << "." << "" << number;
    QTest::newRow("two points are not a number") << "TxtFs" << "1.2.3" << "" << number;
    QTest::newRow("Qts 2 is plausible") << "TxtQts" << "2" << "2" << none;
    QTest::newRow("Qts 2.01 warns") << "TxtQts" << "2.01" << "2.01" << unusual;
    QTest::newRow("Qes 2.5 warns") << "TxtQes" << "2.5" << "2.5" << unusual;
    QTest::newRow("Qms 0.5 is plausible") << "TxtQms" << "0.5" << "0.5" << none;
    QTest::newRow("Qms 20 is plausible") << "TxtQms" << "20" << "20" << none;
    QTest::newRow("Qms 0.49 warns") << "TxtQms" << "0.49" << "0.49" << unusual;
    QTest::newRow("Qms 20.1 warns") << "TxtQms" << "20.1" << "20.1" << unusual;
    QTest::newRow("Vas 0.01 is plausible") << "TxtVas" << "0.01" << "0.01" << none;
    QTest::newRow("Vas 500 is plausible") << "TxtVas" << "500" << "500" << none;
    QTest::newRow("Vas 0.005 warns") << "TxtVas" << "0.005" << "0.005" << unusual;
    QTest::newRow("Vas 501 warns") << "TxtVas" << "501" << "501" << unusual;
    QTest::newRow("Xmax 100 is plausible") << "TxtXmax" << "100" << "100" << none;
    QTest::newRow("Xmax 101 warns") << "TxtXmax" << "101" << "101" << unusual;
    QTest::newRow("coil height 101 warns") << "TxtVCHeight" << "101" << "101" << unusual;
    QTest::newRow("coil gap 101 warns") << "TxtVCGap" << "101" << "101" << unusual;
    QTest::newRow("power has no range") << "TxtPower" << "100000" << "100000" << none;
    QTest::newRow("Fb 10 is plausible") << "TxtVFb" << "10" << "10" << none;
    QTest::newRow("Fb 200 is plausible") << "TxtVFb" << "200" << "200" << none;
    QTest::newRow("Fb 9 warns") << "TxtVFb" << "9" << "9" << unusual;
    QTest::newRow("Fb 201 warns") << "TxtVFb" << "201" << "201" << unusual;
    QTest::newRow("Qloss 21 warns") << "TxtQloss" << "21" << "21" << unusual;
    QTest::newRow("Qloss 0 puts back 7") << "TxtQloss" << "0" << "7" << number;
    // Qts is 0.8 in every row: a Qtc not above it is replaced by Qts + 0.1 = 0.9000000000000001,
    // written in general form as "0.9"; an empty Qtc reads as 0 and gets both messages.
    QTest::newRow("Qtc equal to Qts") << "TxtQtc" << "0.8" << "0.9" << QStringList{Program::QtcErrorText};
    QTest::newRow("Qtc empty: two messages") << "TxtQtc" << "" << "0.9"
                                             << QStringList{Program::NumberErrorText, Program::QtcErrorText};
    QTest::newRow("over-volume 0 puts back 100") << "TxtPercentOverVolume" << "0" << "100" << none;
    QTest::newRow("Re 0 empties silently") << "TxtRe" << "0" << "" << none;
    QTest::newRow("Z empty reports") << "TxtZ" << "" << "" << number;
    QTest::newRow("Le is tested and kept") << "TxtL" << "0" << "0" << none;
    QTest::newRow("tweeter Fs 299 warns") << "Text1" << "299" << "299" << unusual;
    QTest::newRow("tweeter Fs 5000 is plausible") << "Text1" << "5000" << "5000" << none;
    QTest::newRow("tweeter impedance 1.9 warns") << "Text2" << "1.9" << "1.9" << unusual;
    QTest::newRow("tweeter impedance 16 is plausible") << "Text2" << "16" << "16" << none;
    QTest::newRow("tweeter impedance 17 warns") << "Text2" << "17" << "17" << unusual;
    QTest::newRow("woofer crossover 80 is plausible") << "Text3" << "80" << "80" << none;
    QTest::newRow("woofer crossover 79 warns") << "Text3" << "79" << "79" << unusual;
    QTest::newRow("tweeter crossover 10001 warns") << "Text4" << "10001" << "10001" << unusual;
    QTest::newRow("tweeter crossover 0 reports and empties") << "Text4" << "0" << "" << number;
    QTest::newRow("tweeter crossover letters are filtered") << "Text4" << "2e500" << "2500" << none;
}

void TestEntry::enterCommitsAndWarns()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, textAfter);
    QFETCH(QStringList, messages);

    auto w = freshWindow();
    w->Qts = 0.8;
    auto *f = find<QLineEdit>(w.get(), field);
    for (int i = 0; i < w->SSTab->count(); ++i)
        if (w->SSTab->widget(i)->isAncestorOf(f))
            w->SSTab->setCurrentIndex(i);
    f->clear();
    MessageCatcher catcher;
    typeInto(f, typed);
    settle();
    QCOMPARE(catcher.texts(), messages);
    QCOMPARE(f->text(), textAfter);
    for (const Message &m : catcher.messages())
        QCOMPARE(m.title, QStringLiteral("Error"));
}

void TestEntry::keyFilterAdmitsOnlyDigitsAndPoint()
{
    auto w = freshWindow();
    w->TxtFs->setFocus();
    QTest::keyClicks(w->TxtFs, QStringLiteral("1a-, 2.5x"));
    QCOMPARE(w->TxtFs->text(), QStringLiteral("12.5"));
    QTest::keyClick(w->TxtFs, Qt::Key_Backspace);
    QCOMPARE(w->TxtFs->text(), QStringLiteral("12."));
}

void TestEntry::nameFilter()
{
    auto w = freshWindow();
    w->TxtName->setFocus();
    QTest::keyClicks(w->TxtName, QStringLiteral("Acme W8-ND_2 o'k.v1#/\\"));
    QCOMPARE(w->TxtName->text(), QStringLiteral("Acme W8-ND_2 o'k.v1"));
    QTest::keyClick(w->TxtName, Qt::Key_Return);
    settle();
    QCOMPARE(w->focusWidget(), w->TxtFs);
}

void TestEntry::focusMovesAfterWarningIsClosed()
{
    auto w = freshWindow();
    MessageCatcher catcher;
    typeInto(w->TxtFs, QStringLiteral("9.5"));
    settle();
    QCOMPARE(catcher.texts(), QStringList{Program::UnusualValueText});
    QCOMPARE(w->Fs, 9.5);
    QCOMPARE(w->focusWidget(), w->TxtVas);
    typeInto(w->TxtVas, QStringLiteral("40"));
    settle();
    QCOMPARE(w->focusWidget(), w->OptVas[1]);
}

void TestEntry::vasLetterShortcuts()
{
    auto w = freshWindow();
    w->OptVas[1]->setFocus();
    QTest::keyClick(w->OptVas[1], Qt::Key_F);
    QVERIFY(w->OptVas[0]->isChecked());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_M);
    QVERIFY(w->OptVas[2]->isChecked());
    QTest::keyClick(QApplication::focusWidget(), 'l');
    QVERIFY(w->OptVas[1]->isChecked());
}

void TestEntry::focusSelectsWholeText()
{
    auto w = freshWindow();
    w->TxtVas->setText(QStringLiteral("123"));
    w->TxtVas->setFocus();
    settle();
    QCOMPARE(w->TxtVas->selectedText(), QStringLiteral("123"));
    QTest::keyClicks(w->TxtVas, QStringLiteral("7"));
    QCOMPARE(w->TxtVas->text(), QStringLiteral("7"));
}

void TestEntry::absurdAddedVolumeIsReported()
{
    auto w = freshWindow();
    w->SSTab->setCurrentIndex(FrmKelvane::TabBoxVent);
    w->PercentOverVolume = 1e300;
    MessageCatcher catcher;
    // 1e300 cubic inches at 1e300 % overflows the build volume: a message, not a crash.
    typeInto(w->TxtAddVolume, QStringLiteral("1") + QString(300, QLatin1Char('0')));
    settle();
    QCOMPARE(catcher.texts(), QStringList{Program::NumberErrorText});
    QCOMPARE(nonFiniteShown(w.get()), QString());
}

QTEST_MAIN(TestEntry)
#include "tst_entry.moc"
