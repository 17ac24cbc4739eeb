#pragma once

#include <QAccessible>
#include <QString>

class QComboBox;
class QLabel;
class QWidget;

// What screen readers and automation tools read of a window, beyond the names and roles Qt
// gives by itself.
namespace platform {

// Reads `widget` with another role: a top-level widget as a window (not as a filler), a
// label as a status bar. A label keeps its text as its name.
void setAccessibleRole(QWidget* widget, QAccessible::Role role);

// An editable combo box whose name stays its accessible name whatever is typed into it, its
// text read as its value, on every system.
void keepAccessibleName(QComboBox* box);

// A status line: read as a status bar, and every change of its text is announced to the
// screen reader as a change of its name.
void makeStatusLine(QLabel* label, const QString& description);
void announceStatus(QLabel* label);

}  // namespace platform
