#include "ChordEditorDialog.h"

#include "lang/EditorCaptions.h"
#include "lang/WindowCaptions.h"
#include "platform/Platform.h"
#include "sound/MidiPort.h"
#include "widgets/DialogParts.h"

#include <QComboBox>
#include <QLabel>

#include <algorithm>

static void initResources()
{
    Q_INIT_RESOURCE(chord_editors);
}

namespace clavora::chords {

namespace {

// Design positions in twips: left, top, width, height.
constexpr QRect kTypeLabel {120, 780, 2460, 240};
constexpr QRect kType {120, 1020, 2460, 330};
constexpr QRect kNoteLabel {2700, 780, 1500, 240};
constexpr QRect kNote {2700, 1020, 1500, 330};

} // namespace

ChordEditorDialog::ChordEditorDialog(const char* name, std::span<const lang::CaptionEntry> captions,
    ChordTables& tables, int lastType, int lastKey, int language, Platform& platform, QWidget* parent)
    : QDialog(parent)
    , captions_(captions)
    , tables_(tables)
    , lastType_(lastType)
    , lastKey_(lastKey)
    , language_(language)
    , platform_(platform)
{
    initResources();
    setObjectName(QLatin1String(name));
    setModal(true);
    title_ = widgets::makeEditorHeading(this, QStringLiteral(":/editors/icons/edit-chord.svg"), "EditChordLabel");

    QLabel* typeLabel = makeLabel(this, "ChordTypeLabel", kTypeLabel);
    type_ = makeList(this, "ChordType", lang::chordTypeNames(language), kType);
    typeLabel->setBuddy(type_);
    QLabel* noteLabel = makeLabel(this, "ChordNoteLabel", kNoteLabel);
    note_ = makeList(this, "ChordNote", noteNames(), kNote);
    noteLabel->setBuddy(note_);

    buttons_ = widgets::makeDialogButtons(this, "Modify", "CloseWindow", &ChordEditorDialog::modify);
}

QComboBox* ChordEditorDialog::makeList(QWidget* parent, const char* name, const QStringList& entries, QRect design)
{
    return widgets::makeList(parent, name, entries, design, 12);
}

QLabel* ChordEditorDialog::makeLabel(QWidget* parent, const char* name, QRect design)
{
    return widgets::makeLabel(parent, name, design);
}

void ChordEditorDialog::finish(const QList<QWidget*>& definitionControls, int height)
{
    lang::applyWindowCaptions(*this, captions_, language_);
    widgets::finishEditor(this, title_, buttons_, QList<QWidget*> {type_, note_} << definitionControls, height);

    // Form_Load: the last chord played, type first, then root.
    connect(type_, &QComboBox::currentIndexChanged, this, [this] { showChord(); });
    connect(note_, &QComboBox::currentIndexChanged, this, [this] { showChord(); });
    // Both lists always hold a selection, so Modify never stores a chord at
    // a position no list shows.
    type_->setCurrentIndex(std::clamp(lastType_, 0, kChordTypeCount - 1));
    note_->setCurrentIndex(std::clamp(lastKey_, 0, kNoteCount - 1));
    showChord();
}

int ChordEditorDialog::selectedType() const
{
    return type_->currentIndex();
}

int ChordEditorDialog::selectedNote() const
{
    return note_->currentIndex();
}

void ChordEditorDialog::modify()
{
    const BuiltChord built = storeChord();
    if (built.accepted()) {
        accept();
        return;
    }
    const QString text = lang::windowCaption(captions_, language_, lang::kChordRefused).arg(built.refusedField);
    platform_.messageBox(MessageIcon::Exclamation, sound::MidiPort::kWarningTitle, text.toStdString());
}

} // namespace clavora::chords
