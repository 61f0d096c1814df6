#include "DeviceDialog.h"

#include "lang/AreaWords.h"
#include "widgets/DialogParts.h"
#include "widgets/Twips.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace clavora::sound {

namespace {

// Design geometry in twips: left, top, width, height. The label and the list
// are placed inside the frame.
struct Design {
    int left;
    int top;
    int width;
    int height;
};
constexpr Design kFrame {120, 120, 3615, 1095};
constexpr Design kLabel {180, 300, 1245, 195};
constexpr Design kList {180, 600, 3255, 315};
constexpr Design kOk {4020, 240, 1215, 375};
constexpr Design kCancel {4020, 840, 1215, 375};
constexpr int kMargin = 120; // right and bottom edge of the window

// Places a widget at its design position, grown where the style or the
// text needs more room than the design gave it.
void place(QWidget* widget, const Twips& t, const Design& d, QSize needed)
{
    widget->setGeometry(t.rect(d.left, d.top, d.width, d.height));
    widget->resize(widget->size().expandedTo(needed));
}

} // namespace

DeviceDialog::DeviceDialog(
    const Names& names, std::span<const lang::CaptionEntry> captions, int language, QWidget* parent)
    : QDialog(parent)
    , captions_(captions)
    , language_(language < lang::English || language > lang::kLanguageCount ? lang::English : language)
{
    setObjectName(QLatin1String(names.window));
    setModal(true);

    frame_ = new QGroupBox(this);
    frame_->setObjectName(QLatin1String(names.frame));
    label_ = new QLabel(frame_);
    label_->setObjectName(QLatin1String(names.label));
    label_->setTextFormat(Qt::PlainText);
    list_ = new QComboBox(frame_);
    list_->setObjectName(QLatin1String(names.list));
    label_->setBuddy(list_);

    const widgets::DialogButtons buttons = widgets::makeDialogButtons(this, "OK", "Cancel");
    ok_ = buttons.accept;
    ok_->setText(QStringLiteral("OK"));
    cancel_ = buttons.reject;
    connect(ok_, &QPushButton::clicked, this, [this] { confirm(); });

    setWindowTitle(caption(names.window));
    label_->setText(caption(names.label));
    cancel_->setText(caption("Cancel"));
}

QString DeviceDialog::caption(std::string_view key) const
{
    return lang::caption(captions_, language_, key);
}

void DeviceDialog::layOut()
{
    const Twips t = Twips::forWidget(this);
    place(label_, t, kLabel, label_->sizeHint());
    place(list_, t, kList, QSize(0, list_->minimumSizeHint().height()));

    // The frame keeps its design margins around the list if either grew.
    const QRect inner = label_->geometry().united(list_->geometry());
    place(frame_, t, kFrame,
        QSize(inner.right() + 1 + t(kFrame.width - kList.left - kList.width),
            inner.bottom() + 1 + t(kFrame.height - kList.top - kList.height)));

    // The buttons keep their distance from the frame and from each other.
    place(ok_, t, kOk, ok_->minimumSizeHint());
    place(cancel_, t, kCancel, cancel_->minimumSizeHint());
    const int buttonLeft
        = std::max(t(kOk.left), frame_->geometry().right() + 1 + t(kOk.left - kFrame.left - kFrame.width));
    const int buttonWidth = std::max(ok_->width(), cancel_->width());
    ok_->setGeometry(buttonLeft, ok_->y(), buttonWidth, ok_->height());
    const int cancelTop = std::max(cancel_->y(), ok_->geometry().bottom() + 1 + t(kCancel.top - kOk.top - kOk.height));
    cancel_->setGeometry(buttonLeft, cancelTop, buttonWidth, cancel_->height());

    const QRect used = frame_->geometry().united(ok_->geometry()).united(cancel_->geometry());
    setFixedSize(used.right() + 1 + t(kMargin), used.bottom() + 1 + t(kMargin));
}

} // namespace clavora::sound
