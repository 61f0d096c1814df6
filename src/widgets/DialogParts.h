#pragma once
#include <QObject>
#include <QPushButton>
#include <QRect>
#include <QStringList>

class QComboBox;
class QDialog;
class QLabel;

namespace clavora::widgets {

// The two buttons of a dialog: the first is the default one (Enter), the
// second rejects the dialog as Esc does. Their texts come from the captions.
struct DialogButtons {
    QPushButton* accept;
    QPushButton* reject;
};
DialogButtons makeDialogButtons(QDialog* dialog, const char* acceptName, const char* rejectName);

// As above, the first button calling the dialog's own confirmation.
template <typename Dialog>
DialogButtons makeDialogButtons(
    Dialog* dialog, const char* acceptName, const char* rejectName, void (Dialog::*onAccept)())
{
    const DialogButtons buttons = makeDialogButtons(dialog, acceptName, rejectName);
    QObject::connect(buttons.accept, &QPushButton::clicked, dialog, onAccept);
    return buttons;
}

// A widget at its design place (twips), grown where its text or style needs
// more room than the design gave it.
void placeToFit(QWidget* widget, QRect design);

// A label of plain text at its design place.
QLabel* makeLabel(QWidget* parent, const char* name, QRect design);

// A drop-down list at its design place, showing up to visibleItems entries
// when open.
QComboBox* makeList(QWidget* parent, const char* name, const QStringList& entries, QRect design, int visibleItems);

// An editor's heading: its icon at the top left and, beside it, its title in
// bold at 1.25 times the size. Returns the title, which takes the window's
// title once the captions are in.
QLabel* makeEditorHeading(QDialog* dialog, const QString& iconPath, const char* titleName);

// Lays an editor out once its captions are in: the heading's title reads
// the window's title, the buttons stand on the right one under the other,
// every label grows to its text, Tab goes through `order` and then the
// buttons, the first of `order` has the focus, and the editor takes the
// editors' width and `designHeight` twips plus a margin.
void finishEditor(
    QDialog* dialog, QLabel* title, const DialogButtons& buttons, QList<QWidget*> order, int designHeight);

} // namespace clavora::widgets
