#include "DialogParts.h"

#include "Twips.h"

#include <QComboBox>
#include <QDialog>
#include <QIcon>
#include <QLabel>

namespace clavora::widgets {

namespace {

// The heading's design places in twips, the same in every editor.
constexpr QRect kIcon {120, 120, 480, 480};
constexpr QRect kTitle {720, 210, 4500, 330};
// The editors' buttons and size.
constexpr QRect kAccept {4440, 1020, 1215, 375};
constexpr QRect kReject {4440, 1500, 1215, 375};
constexpr int kEditorWidth = 5775;
constexpr int kEditorMargin = 120;

void place(QWidget* widget, QRect design)
{
    Twips::forWidget(widget).place(widget, design.x(), design.y(), design.width(), design.height());
}

} // namespace

DialogButtons makeDialogButtons(QDialog* dialog, const char* acceptName, const char* rejectName)
{
    auto* accept = new QPushButton(dialog);
    accept->setObjectName(QLatin1String(acceptName));
    accept->setDefault(true);
    auto* reject = new QPushButton(dialog);
    reject->setObjectName(QLatin1String(rejectName));
    QObject::connect(reject, &QPushButton::clicked, dialog, &QDialog::reject);
    return {accept, reject};
}

void placeToFit(QWidget* widget, QRect design)
{
    Twips::forWidget(widget).placeToFit(widget, design.x(), design.y(), design.width(), design.height());
}

QLabel* makeLabel(QWidget* parent, const char* name, QRect design)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    place(label, design);
    return label;
}

QComboBox* makeList(QWidget* parent, const char* name, const QStringList& entries, QRect design, int visibleItems)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(QLatin1String(name));
    list->addItems(entries);
    list->setMaxVisibleItems(visibleItems);
    placeToFit(list, design);
    return list;
}

QLabel* makeEditorHeading(QDialog* dialog, const QString& iconPath, const char* titleName)
{
    const Twips t = Twips::forWidget(dialog);
    auto* icon = new QLabel(dialog);
    icon->setObjectName(QStringLiteral("EditChordIcon"));
    icon->setPixmap(QIcon(iconPath).pixmap(t(kIcon.width()), t(kIcon.height())));
    place(icon, kIcon);
    QLabel* title = makeLabel(dialog, titleName, kTitle);
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.25);
    title->setFont(bold);
    return title;
}

void finishEditor(QDialog* dialog, QLabel* title, const DialogButtons& buttons, QList<QWidget*> order, int designHeight)
{
    title->setText(dialog->windowTitle());
    placeToFit(buttons.accept, kAccept);
    placeToFit(buttons.reject, kReject);
    for (QLabel* label : dialog->findChildren<QLabel*>())
        label->resize(label->size().expandedTo(label->sizeHint()));
    order << buttons.accept << buttons.reject;
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    order.front()->setFocus();
    const Twips t = Twips::forWidget(dialog);
    dialog->setFixedSize(t(kEditorWidth), t(designHeight + kEditorMargin));
}

} // namespace clavora::widgets
