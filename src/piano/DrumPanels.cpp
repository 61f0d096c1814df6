// The drum panels: the list of drum sounds and the 47 pads with their number boxes.
#include "PianoWindow.h"

#include "KeyReceiver.h"
#include "PanelParts.h"
#include "Piano.h"
#include "PianoKeyWidget.h"
#include "chords/ChordArea.h"
#include "drums/DrumPads.h"
#include "keys/Setting.h"
#include "keys/VoiceArea.h"
#include "lang/Captions.h"
#include "lang/HelpWindow.h"
#include "lang/LanguageDialog.h"
#include "sound/GmNames.h"
#include "widgets/Twips.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>

namespace clavora {

using namespace parts;

namespace {

constexpr int kPadSize = 435;
constexpr int kPadStep = 540;
constexpr int kNumberBoxHeight = 315;

// Pads by keyboard row: first pad, last pad, key top, left of first key.
struct PadRow {
    int first;
    int last;
    int top;
    int left;
};
constexpr std::array<PadRow, 4> kPadRows {{
    {34, 46, 450, 120},
    {22, 33, 1290, 360},
    {10, 21, 2130, 600},
    {0, 9, 2970, 840},
}};

} // namespace

void PianoWindow::buildDrumPanels(QWidget* client)
{
    const Twips t = Twips::forWidget(this);
    DrumPads& drums = piano_.drumPads();

    auto* names = panel(client, "DrumNamesPanel");
    t.place(names, 180, 1050, 6975, 2895);
    const std::array<std::pair<int, int>, 4> columns {{{0, 14}, {14, 28}, {28, 42}, {42, 47}}};
    const std::array<int, 4> columnLefts {0, 1920, 3600, 5250};
    for (std::size_t c = 0; c < columns.size(); ++c) {
        QString text;
        for (int i = columns[c].first; i < columns[c].second; ++i)
            text += sound::drumNameLine(i) + QLatin1Char('\n');
        auto* label = new QLabel(text, names);
        label->setObjectName(QStringLiteral("DrumNames%1").arg(c + 1));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        QFont font = label->font();
        font.setPointSizeF(7.5);
        label->setFont(font);
        t.place(label, columnLefts[c], 0, c == 0 ? 1920 : 1650, 2895);
    }
    bindSetting(drums.volume(), names, QStringLiteral("DrumsVolume"), t.rect(5250, 1800, 1560, 255),
        t.rect(5250, 1560, 1200, 195));
    auto* change = pictureButton(names, "ChangeDrums", "change-drums", t.rect(5250, 2220, 600, 600));
    change->setToolTip(tr("Change the last drum pad (F12)"));
    connect(change, &QToolButton::clicked, this, [this] { emit piano_.drumEditorRequested(); });

    auto* pads = panel(client, "DrumKeysPanel");
    t.place(pads, 10, 4000, 7095, 3465);
    for (const PadRow& row : kPadRows) {
        for (int pad = row.first; pad <= row.last; ++pad) {
            const int left = row.left + (pad - row.first) * kPadStep;
            auto* key = new PressArea(pads);
            key->setObjectName(QStringLiteral("DrumKey(%1)").arg(pad));
            key->setAutoFillBackground(true);
            showPadLook(key, false);
            t.place(key, left, row.top, kPadSize, kPadSize);
            auto* cap = new QLabel(DrumPads::capOf(pad), key);
            cap->setObjectName(QStringLiteral("lblDrumKey(%1)").arg(pad));
            cap->setAlignment(Qt::AlignCenter);
            cap->setGeometry(key->rect());
            cap->setAttribute(Qt::WA_TransparentForMouseEvents);
            key->onPress = [this, pad] {
                piano_.drumPads().press(pad, Hand::Mouse);
                giveFocusBack();
            };
            key->onRelease = [this, pad] {
                piano_.drumPads().release(pad, Hand::Mouse);
                giveFocusBack();
            };
            drumKeys_[static_cast<std::size_t>(pad)] = key;

            auto* number = new PressArea(pads);
            number->setObjectName(QStringLiteral("DrumKeyNumber(%1)").arg(pad));
            t.place(number, left, row.top - kNumberBoxHeight, kPadSize, kNumberBoxHeight);
            auto* numberLabel = new QLabel(QStringLiteral("00"), number);
            numberLabel->setObjectName(QStringLiteral("lblDrumKeyNumber(%1)").arg(pad));
            numberLabel->setAlignment(Qt::AlignCenter);
            numberLabel->setGeometry(number->rect());
            numberLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
            number->onRelease = [this, pad] {
                piano_.drumPads().setLastDrumKey(pad);
                emit piano_.drumEditorRequested();
                giveFocusBack();
            };
            drumNumbers_[static_cast<std::size_t>(pad)] = numberLabel;
        }
    }
    blocks_[static_cast<std::size_t>(Block::DrumNamesPanel)] = names;
    blocks_[static_cast<std::size_t>(Block::DrumKeysPanel)] = pads;
    names->hide();
    pads->hide();
    for (int pad = 0; pad < DrumPads::kPadCount; ++pad)
        refreshDrumNumber(pad);
}

void PianoWindow::refreshDrumNumber(int pad)
{
    QLabel* label = drumNumbers_[static_cast<std::size_t>(pad)];
    if (!label)
        return;
    const DrumPads& drums = piano_.drumPads();
    label->setText(drums.numberText(pad));
    QFont font = label->font();
    font.setBold(drums.isHigh(pad));
    label->setFont(font);
}

} // namespace clavora
