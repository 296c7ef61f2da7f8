#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QWidget>

// The entry point through which the test library itself delivers keys to the shortcut map.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                               const QString& text, bool autorep, ushort count);

namespace gim::test {

// A key pressed and released on `target`, as the window system would deliver it: the shortcut map
// first, then the widget.
inline void PressShortcut(QWidget* target, const QKeySequence& sequence)
{
    const QKeyCombination combination = sequence[0];
    const int key = combination.key();
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    if (!qt_sendShortcutOverrideEvent(target, press.timestamp(), key, modifiers, QString(), false, 1))
        QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(target, &release);
}

} // namespace gim::test
