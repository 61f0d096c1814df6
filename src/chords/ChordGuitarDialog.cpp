#include "ChordGuitarDialog.h"

#include "lang/EditorCaptions.h"
#include "widgets/Twips.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

namespace clavora::chords {

namespace {

// Design positions in twips; the strings inside the frame, the legend's
// texts inside the legend.
constexpr QRect kFrame {120, 1560, 4080, 1275};
constexpr QRect kStringsLabel {120, 270, 1500, 240};
constexpr QRect kFirstString {120, 540, 600, 330};
constexpr QRect kFirstStringName {120, 900, 600, 240};
constexpr int kStringStep = 660;
constexpr QRect kLegend {120, 2955, 4080, 870};
constexpr QRect kLegendX {120, 270, 3840, 240};
constexpr QRect kLegend0 {120, 540, 3840, 240};

constexpr std::array<const char*, kGuitarStringCount> kStringLists {
    "FirstString", "SecondString", "ThirdString", "FourthString", "FifthString", "SixthString"};

// "X", then the frets "0" .. "9": position 0 is a string not played,
// position f + 1 is fret f.
QStringList stringEntries()
{
    QStringList entries {QStringLiteral("X")};
    for (int fret = 0; fret < kEditorFretCount; ++fret)
        entries << QString::number(fret);
    return entries;
}

} // namespace

ChordGuitarDialog::ChordGuitarDialog(
    ChordTables& tables, int lastType, int lastKey, int language, Platform& platform, QWidget* parent)
    : ChordEditorDialog(
        "frmChordGuitar", lang::chordGuitarEditorCaptions(), tables, lastType, lastKey, language, platform, parent)
{
    const Twips t = Twips::forWidget(this);
    auto* container = new QWidget(this);
    container->setObjectName(QStringLiteral("ChordConfigurationFrame"));
    t.place(container, kFrame.x(), kFrame.y(), kFrame.width(), kFrame.height());
    auto* frame = new QGroupBox(container);
    frame->setObjectName(QStringLiteral("ChordConfiguration"));
    t.place(frame, 0, 0, kFrame.width(), kFrame.height());
    QLabel* heading = makeLabel(frame, "StringsLabel", kStringsLabel);

    QList<QWidget*> order;
    for (int s = 0; s < kGuitarStringCount; ++s) {
        const auto i = static_cast<std::size_t>(s);
        strings_[i] = makeList(frame, kStringLists[i], stringEntries(), kFirstString.translated(s * kStringStep, 0));
        // The open note under each list: E A D G B E, lowest string first.
        QLabel* open = makeLabel(frame, "", kFirstStringName.translated(s * kStringStep, 0));
        open->setObjectName(QStringLiteral("StringName(%1)").arg(s + 1));
        open->setText(noteName(openStringPitch(s + 1) % kNoteCount));
        open->setAlignment(Qt::AlignCenter);
        order << strings_[i];
    }
    heading->setBuddy(strings_.front());

    auto* legend = new QGroupBox(this);
    legend->setObjectName(QStringLiteral("Legend"));
    t.place(legend, kLegend.x(), kLegend.y(), kLegend.width(), kLegend.height());
    makeLabel(legend, "LegendX", kLegendX);
    makeLabel(legend, "Legend0", kLegend0);

    finish(order, kLegend.bottom() + 1);
}

void ChordGuitarDialog::showChord()
{
    const int type = selectedType();
    const int note = selectedNote();
    if (type < 0 || note < 0)
        return;
    const GuitarFrets frets = loadGuitarFrets(tables(), note, type);
    for (std::size_t i = 0; i < frets.size(); ++i)
        strings_[i]->setCurrentIndex(frets[i] + 1);
}

BuiltChord ChordGuitarDialog::storeChord()
{
    GuitarFrets frets {};
    for (std::size_t i = 0; i < frets.size(); ++i)
        frets[i] = strings_[i]->currentIndex() - 1;
    return storeGuitarChord(tables(), selectedNote(), selectedType(), frets);
}

} // namespace clavora::chords
