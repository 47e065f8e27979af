#pragma once
// Drives a window with the keyboard alone, as a user without a mouse would.
#include <QApplication>
#include <QStringList>
#include <QWidget>
#include <QtTest>

// The name of the control that has the keyboard focus (an editable list's inner field
// counts as the list).
inline QString focusName()
{
    QWidget *w = QApplication::focusWidget();
    while (w && w->objectName().isEmpty())
        w = w->parentWidget();
    return w ? w->objectName() : QString();
}

// Shows the window, makes it active and returns the controls Tab visits from the focus
// it opens with, until the focus comes back round (at most 30 steps).
inline QStringList tabWalk(QWidget *window)
{
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        return {QStringLiteral("<window not active>")};
    QStringList names{focusName()};
    for (int step = 0; step < 30; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        const QString name = focusName();
        if (name == names.constFirst())
            break;
        names << name;
    }
    return names;
}

// Presses Tab until the named control has the focus; false when it never gets it.
inline bool tabTo(const QString &name)
{
    for (int step = 0; step < 30 && focusName() != name; ++step)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    return focusName() == name;
}
