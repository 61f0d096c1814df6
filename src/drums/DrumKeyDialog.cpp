#include "DrumKeyDialog.h"

#include "DrumKeyNames.h"
#include "DrumPads.h"
#include "lang/EditorCaptions.h"
#include "lang/WindowCaptions.h"
#include "sound/GmNames.h"
#include "widgets/DialogParts.h"
#include "widgets/Twips.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

static void initResources()
{
    Q_INIT_RESOURCE(drum_editor);
}

namespace clavora {

namespace {

// Design positions in twips: left, top, width, height. The frame's controls
// lie inside it.
constexpr QRect kKeyLabel {120, 780, 1500, 240};
constexpr QRect kKey {120, 1020, 1500, 330};
constexpr QRect kFrame {120, 1560, 4080, 1680};
constexpr QRect kSoundLabel {120, 270, 3000, 240};
constexpr QRect kSound {120, 510, 3840, 330};
constexpr QRect kIntensityLabel {120, 960, 3000, 240};
constexpr QRect kIntensity {120, 1200, 1500, 330};

enum IntensityEntry { NormalEntry = 0, HighEntry = 1 };

using widgets::makeLabel;
using widgets::placeToFit;

QComboBox* list(QWidget* parent, const char* name, const QStringList& entries, QRect design)
{
    return widgets::makeList(parent, name, entries, design, 16);
}

// "00 - Acoustic Bass Drum" .. "46 - Open Triangle"
QStringList soundEntries()
{
    QStringList entries;
    for (int number = 0; number < sound::kDrumNameCount; ++number)
        entries << sound::drumNameLine(number);
    return entries;
}

} // namespace

DrumKeyDialog::DrumKeyDialog(DrumPads& pads, int language, QWidget* parent)
    : QDialog(parent)
    , pads_(pads)
{
    initResources();
    setObjectName(QStringLiteral("frmChangeDrums"));
    setModal(true);
    const Twips t = Twips::forWidget(this);

    QLabel* title
        = widgets::makeEditorHeading(this, QStringLiteral(":/editors/icons/change-drums.svg"), "EditDrumsLabel");

    QLabel* keyLabel = makeLabel(this, "KeyLabel", kKeyLabel);
    key_ = list(this, "Key", drumKeyNames(), kKey);
    keyLabel->setBuddy(key_);

    auto* container = new QWidget(this);
    container->setObjectName(QStringLiteral("DrumConfigurationFrame"));
    t.place(container, kFrame.x(), kFrame.y(), kFrame.width(), kFrame.height());
    auto* frame = new QGroupBox(container);
    frame->setObjectName(QStringLiteral("DrumConfiguration"));
    t.place(frame, 0, 0, kFrame.width(), kFrame.height());
    QLabel* soundLabel = makeLabel(frame, "DrumSoundLabel", kSoundLabel);
    sound_ = list(frame, "DrumSound", soundEntries(), kSound);
    soundLabel->setBuddy(sound_);
    QLabel* intensityLabel = makeLabel(frame, "IntensityLabel", kIntensityLabel);
    const auto captions = lang::drumEditorCaptions();
    intensity_ = list(frame, "Intensity",
        {lang::windowCaption(captions, language, lang::kIntensityNormal),
            lang::windowCaption(captions, language, lang::kIntensityHigh)},
        kIntensity);
    intensityLabel->setBuddy(intensity_);

    const widgets::DialogButtons buttons
        = widgets::makeDialogButtons(this, "Modify", "CloseWindow", &DrumKeyDialog::modify);

    lang::applyWindowCaptions(*this, captions, language);
    widgets::finishEditor(this, title, buttons, {key_, sound_, intensity_}, kFrame.bottom() + 1);

    // Form_Load: the last pad played, then its sound and intensity.
    connect(key_, &QComboBox::currentIndexChanged, this, &DrumKeyDialog::showKey);
    key_->setCurrentIndex(pads_.lastDrumKey());
    showKey();
}

void DrumKeyDialog::showKey()
{
    const int pad = key_->currentIndex();
    if (pad < 0)
        return;
    sound_->setCurrentIndex(pads_.soundNumber(pad));
    intensity_->setCurrentIndex(pads_.isHigh(pad) ? HighEntry : NormalEntry);
}

void DrumKeyDialog::modify()
{
    pads_.setSound(key_->currentIndex(), sound_->currentIndex(), intensity_->currentIndex() == HighEntry);
    accept();
}

} // namespace clavora
