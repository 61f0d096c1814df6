#include "Setup.h"

#include "Piano.h"
#include "chords/ChordEditing.h"
#include "keys/KeyTable.h"
#include "keys/Setting.h"
#include "lang/AreaWords.h"
#include "lang/KeepTexts.h"
#include "platform/MidiConstants.h"
#include "sound/MidiPort.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <cmath>

namespace clavora::setup {

namespace {

using chords::ChordTables;

constexpr std::array<const char*, lang::kLanguageCount> kLanguageCodes {"en", "pt", "es"};

struct ModeName {
    ChordArea::Mode mode;
    const char* name;
};
constexpr std::array<ModeName, 3> kModeNames {{
    {ChordArea::Mode::OneKey, "oneKey"},
    {ChordArea::Mode::ThreeKeys, "threeKeys"},
    {ChordArea::Mode::Guitar, "guitar"},
}};

constexpr int kProgramMax = 127;
constexpr int kOctaveMin = 1;
constexpr int kOctaveMax = 5;
constexpr int kVolumeMax = 127;

std::size_t at(int index)
{
    return static_cast<std::size_t>(index);
}

AreaSetup areaFromDefaults(const SlotDefaults& defaults, int slot)
{
    AreaSetup area;
    area.programs = defaults.program;
    area.octaves = defaults.octave;
    area.volumes.fill(defaults.volume);
    area.slot = slot;
    return area;
}

AreaSetup captureArea(const VoiceArea& area)
{
    AreaSetup result;
    for (int slot = 1; slot <= kSlotCount; ++slot) {
        result.programs[at(slot - 1)] = area.slotInstrument(slot);
        result.octaves[at(slot - 1)] = area.slotOctave(slot);
        result.volumes[at(slot - 1)] = area.slotVolume(slot);
    }
    result.slot = area.channel().value();
    result.voices = area.voices().value();
    return result;
}

QString chordName(int note, int type)
{
    return chords::noteName(note) + QLatin1Char(' ') + chords::chordTypeEnglishName(type);
}

QJsonObject writeArea(const AreaSetup& area)
{
    QJsonArray slotList;
    for (int i = 0; i < kSlotCount; ++i)
        slotList.append(QJsonObject {
            {"instrument", area.programs[at(i)]}, {"octave", area.octaves[at(i)]}, {"volume", area.volumes[at(i)]}});
    return QJsonObject {{"slot", area.slot}, {"voices", area.voices}, {"slots", slotList}};
}

// Reads values out of the parsed document, keeping the first problem met.
class Reader {
public:
    bool failed() const { return !error.isEmpty(); }

    void fail(const QString& where, const QString& what)
    {
        if (!failed())
            error = QStringLiteral("%1 %2").arg(where, what);
    }

    // A whole number from min to max; an absent key leaves `value` alone.
    void number(const QJsonObject& object, const QString& where, const char* key, int min, int max, int& value)
    {
        const QJsonValue v = object.value(QLatin1String(key));
        if (v.isUndefined())
            return;
        number(v, where + QLatin1Char('.') + QLatin1String(key), min, max, value);
    }

    void number(const QJsonValue& v, const QString& where, int min, int max, int& value)
    {
        const double d = v.toDouble(std::nan(""));
        if (!v.isDouble() || d != std::floor(d))
            return fail(where, QStringLiteral("is not a whole number"));
        if (d < min || d > max)
            return fail(where, QStringLiteral("is %1, outside %2 to %3").arg(d).arg(min).arg(max));
        value = static_cast<int>(d);
    }

    void flag(const QJsonObject& object, const QString& where, const char* key, bool& value)
    {
        const QJsonValue v = object.value(QLatin1String(key));
        if (v.isUndefined())
            return;
        if (!v.isBool())
            return fail(where + QLatin1Char('.') + QLatin1String(key), QStringLiteral("is not true or false"));
        value = v.toBool();
    }

    void text(const QJsonObject& object, const char* key, QString& value)
    {
        const QJsonValue v = object.value(QLatin1String(key));
        if (v.isUndefined())
            return;
        if (!v.isString())
            return fail(QLatin1String(key), QStringLiteral("is not a text"));
        value = v.toString();
    }

    // An object or an array under the key; absent gives an empty one.
    QJsonObject object(const QJsonObject& parent, const QString& where, const char* key)
    {
        const QJsonValue v = parent.value(QLatin1String(key));
        if (!v.isUndefined() && !v.isObject())
            fail(where, QStringLiteral("is not an object"));
        return v.toObject();
    }

    QJsonArray array(const QJsonObject& parent, const QString& where, const char* key)
    {
        const QJsonValue v = parent.value(QLatin1String(key));
        if (!v.isUndefined() && !v.isArray())
            fail(where, QStringLiteral("is not a list"));
        return v.toArray();
    }

    QString error;
};

void readArea(Reader& reader, const QJsonObject& object, const QString& where, AreaSetup& area)
{
    reader.number(object, where, "slot", 1, kSlotCount, area.slot);
    reader.number(object, where, "voices", 1, kSlotCount, area.voices);
    const QString slotsWhere = where + QStringLiteral(".slots");
    const QJsonArray slotList = reader.array(object, slotsWhere, "slots");
    if (!object.contains(QLatin1String("slots")) || reader.failed())
        return;
    if (slotList.size() != kSlotCount)
        return reader.fail(
            slotsWhere, QStringLiteral("holds %1 slots instead of %2").arg(slotList.size()).arg(kSlotCount));
    for (int i = 0; i < kSlotCount; ++i) {
        const QString slotWhere = QStringLiteral("%1[%2]").arg(slotsWhere).arg(i);
        if (!slotList.at(i).isObject())
            return reader.fail(slotWhere, QStringLiteral("is not an object"));
        const QJsonObject slot = slotList.at(i).toObject();
        reader.number(slot, slotWhere, "instrument", 0, kProgramMax, area.programs[at(i)]);
        reader.number(slot, slotWhere, "octave", kOctaveMin, kOctaveMax, area.octaves[at(i)]);
        reader.number(slot, slotWhere, "volume", 0, kVolumeMax, area.volumes[at(i)]);
    }
}

// The root and type of a chord entry; false (with the reader failed) when
// either is missing or wrong.
bool readChordPlace(Reader& reader, const QJsonObject& entry, const QString& where, int& note, int& type)
{
    note = -1;
    type = -1;
    reader.number(entry, where, "root", 0, chords::kNoteCount - 1, note);
    reader.number(entry, where, "type", 0, chords::kChordTypeCount - 1, type);
    if (!reader.failed() && (note < 0 || type < 0))
        reader.fail(where, QStringLiteral("needs a root and a type"));
    return !reader.failed();
}

// The list of numbers under the key, of exactly `count` entries.
std::vector<int> readNumbers(
    Reader& reader, const QJsonObject& entry, const QString& where, const char* key, int count, int min, int max)
{
    const QString listWhere = where + QLatin1Char('.') + QLatin1String(key);
    const QJsonValue v = entry.value(QLatin1String(key));
    if (!v.isArray() || v.toArray().size() != count) {
        reader.fail(listWhere, QStringLiteral("must be a list of %1 numbers").arg(count));
        return {};
    }
    std::vector<int> numbers(at(count));
    for (int i = 0; i < count; ++i)
        reader.number(v.toArray().at(i), QStringLiteral("%1[%2]").arg(listWhere).arg(i), min, max, numbers[at(i)]);
    return numbers;
}

// Reads each entry of a chord list (its root, type and `field`, a list of
// numbers of the type's length) and stores it through `store`, which gives
// the stored chord, refused or not.
template <typename Store>
void readChords(Reader& reader, const QJsonArray& entries, const char* list, const char* field, int length, int min,
    int max, Store store)
{
    for (qsizetype i = 0; i < entries.size() && !reader.failed(); ++i) {
        const QString where = QStringLiteral("%1[%2]").arg(QLatin1String(list)).arg(i);
        const QJsonObject entry = entries.at(i).toObject();
        int note = 0;
        int type = 0;
        if (!entries.at(i).isObject() || !readChordPlace(reader, entry, where, note, type)) {
            reader.fail(where, QStringLiteral("is not a chord"));
            return;
        }
        const std::vector<int> numbers
            = readNumbers(reader, entry, where, field, length < 0 ? chords::chordNoteCount(type) : length, min, max);
        if (reader.failed())
            return;
        const chords::BuiltChord built = store(note, type, numbers);
        if (!built.accepted())
            reader.fail(QStringLiteral("%1.%2[%3]").arg(where, QLatin1String(field)).arg(built.refusedField - 1),
                QStringLiteral("would not sound at every chord octave"));
    }
}

void readKeyboardChords(Reader& reader, const QJsonArray& entries, ChordTables& tables)
{
    // A keyboard chord has as many notes as its type.
    readChords(reader, entries, "keyboardChords", "notes", -1, 0, chords::kHighestMidiNote,
        [&tables](int note, int type, const std::vector<int>& fields) {
            chords::KeyboardGrid grid {};
            for (std::size_t j = 0; j < fields.size(); ++j)
                grid[j] = chords::gridRowOf(fields[j]);
            return chords::storeKeyboardChord(tables, note, type, grid);
        });
}

void readGuitarChords(Reader& reader, const QJsonArray& entries, ChordTables& tables)
{
    readChords(reader, entries, "guitarChords", "frets", chords::kGuitarStringCount, chords::kStringNotPlayed,
        chords::kHighestMidiNote, [&tables](int note, int type, const std::vector<int>& frets) {
            chords::GuitarFrets guitar {};
            std::copy(frets.begin(), frets.end(), guitar.begin());
            return chords::storeGuitarChord(tables, note, type, guitar);
        });
}

void readDrums(Reader& reader, const QJsonObject& drums, Setup& setup)
{
    reader.number(drums, QStringLiteral("drums"), "volume", 0, kVolumeMax, setup.drumVolume);
    const QJsonArray pads = reader.array(drums, QStringLiteral("drums.pads"), "pads");
    for (qsizetype i = 0; i < pads.size() && !reader.failed(); ++i) {
        const QString where = QStringLiteral("drums.pads[%1]").arg(i);
        if (!pads.at(i).isObject())
            return reader.fail(where, QStringLiteral("is not a pad"));
        const QJsonObject entry = pads.at(i).toObject();
        int pad = -1;
        reader.number(entry, where, "pad", 0, DrumPads::kPadCount - 1, pad);
        if (!reader.failed() && pad < 0)
            return reader.fail(where, QStringLiteral("needs a pad number"));
        if (reader.failed())
            return;
        reader.number(entry, where, "sound", 0, midi::kDrumSoundCount - 1, setup.padSounds[at(pad)]);
        reader.flag(entry, where, "high", setup.padHigh[at(pad)]);
    }
}

void readLanguage(Reader& reader, const QJsonObject& root, int& language)
{
    QString code;
    reader.text(root, "language", code);
    if (code.isEmpty() || reader.failed())
        return;
    for (int i = 0; i < lang::kLanguageCount; ++i)
        if (code == QLatin1String(kLanguageCodes[at(i)])) {
            language = i + 1;
            return;
        }
    reader.fail(QStringLiteral("language"), QStringLiteral("\"%1\" is not en, pt or es").arg(code));
}

void readChordArea(Reader& reader, const QJsonObject& object, Setup& setup)
{
    const QString where = QStringLiteral("chords");
    QString mode;
    const QJsonValue modeValue = object.value(QLatin1String("mode"));
    if (!modeValue.isUndefined()) {
        const auto found = std::find_if(kModeNames.begin(), kModeNames.end(),
            [&](const ModeName& m) { return modeValue.toString() == QLatin1String(m.name); });
        if (found == kModeNames.end())
            return reader.fail(where + QStringLiteral(".mode"), QStringLiteral("is not oneKey, threeKeys or guitar"));
        setup.mode = found->mode;
        setup.chords.slot = ChordArea::slotOfMode(setup.mode);
    }
    reader.number(object, where, "splitPoint", 0, kKeyCount - 1, setup.splitPoint);
    readArea(reader, object, where, setup.chords);
}

} // namespace

bool Setup::operator==(const Setup& other) const
{
    for (int i = 0; i < chords::kChordTableSize; ++i)
        if (tables.keyboardChord(i) != other.tables.keyboardChord(i)
            || tables.guitarChord(i) != other.tables.guitarChord(i))
            return false;
    return main == other.main && chords == other.chords && mode == other.mode && splitPoint == other.splitPoint
        && padSounds == other.padSounds && padHigh == other.padHigh && drumVolume == other.drumVolume
        && language == other.language && midiOut == other.midiOut && midiIn == other.midiIn;
}

Setup defaultSetup(int language, const QString& midiOut, const QString& midiIn)
{
    Setup setup;
    setup.main = areaFromDefaults(Piano::mainDefaults(), 1);
    setup.chords = areaFromDefaults(ChordArea::chordDefaults(), ChordArea::slotOfMode(setup.mode));
    setup.tables.loadDefaults();
    for (int pad = 0; pad < DrumPads::kPadCount; ++pad) {
        setup.padSounds[at(pad)] = DrumPads::defaultSoundOf(pad);
        setup.padHigh[at(pad)] = DrumPads::defaultHighOf(pad);
    }
    setup.language = language;
    setup.midiOut = midiOut;
    setup.midiIn = midiIn;
    return setup;
}

Setup captureSetup(Piano& piano, const MidiInChoice& midiIn)
{
    Setup setup;
    setup.main = captureArea(piano.mainArea());
    ChordArea& chordArea = piano.chordArea();
    setup.chords = captureArea(chordArea.area());
    setup.mode = chordArea.mode();
    setup.splitPoint = chordArea.chosenSplitPoint();
    setup.tables = chordArea.tables();
    DrumPads& drums = piano.drumPads();
    for (int pad = 0; pad < DrumPads::kPadCount; ++pad) {
        setup.padSounds[at(pad)] = drums.soundNumber(pad);
        setup.padHigh[at(pad)] = drums.isHigh(pad);
    }
    setup.drumVolume = drums.volume().value();
    setup.language = piano.language();
    setup.midiOut = QString::fromStdString(piano.port().chosenDeviceName());
    if (midiIn.current)
        setup.midiIn = midiIn.current();
    return setup;
}

QByteArray writeSetup(const Setup& setup)
{
    const Setup defaults = defaultSetup(setup.language);
    QJsonArray keyboardChords;
    QJsonArray guitarChords;
    for (int type = 0; type < chords::kChordTypeCount; ++type)
        for (int note = 0; note < chords::kNoteCount; ++note) {
            const int index = chords::chordTableIndex(note, type);
            const QJsonObject place {{"name", chordName(note, type)}, {"root", note}, {"type", type}};
            if (setup.tables.keyboardChord(index) != defaults.tables.keyboardChord(index)) {
                QJsonArray fields;
                for (int j = 1; j <= chords::chordNoteCount(type); ++j)
                    fields.append(setup.tables.keyboardChordNote(note, type, j));
                QJsonObject entry = place;
                entry.insert(QLatin1String("notes"), fields);
                keyboardChords.append(entry);
            }
            if (setup.tables.guitarChord(index) != defaults.tables.guitarChord(index)) {
                QJsonArray frets;
                for (int fret : chords::loadGuitarFrets(setup.tables, note, type))
                    frets.append(fret);
                QJsonObject entry = place;
                entry.insert(QLatin1String("frets"), frets);
                guitarChords.append(entry);
            }
        }
    QJsonArray pads;
    for (int pad = 0; pad < DrumPads::kPadCount; ++pad)
        if (setup.padSounds[at(pad)] != defaults.padSounds[at(pad)]
            || setup.padHigh[at(pad)] != defaults.padHigh[at(pad)])
            pads.append(QJsonObject {{"pad", pad}, {"key", DrumPads::capOf(pad)}, {"sound", setup.padSounds[at(pad)]},
                {"high", setup.padHigh[at(pad)]}});

    QJsonObject chordArea = writeArea(setup.chords);
    const auto mode
        = std::find_if(kModeNames.begin(), kModeNames.end(), [&](const ModeName& m) { return m.mode == setup.mode; });
    chordArea.insert(QLatin1String("mode"), QLatin1String(mode != kModeNames.end() ? mode->name : "threeKeys"));
    chordArea.insert(QLatin1String("splitPoint"), setup.splitPoint);
    const int language = std::clamp(setup.language, 1, lang::kLanguageCount);
    const QJsonObject root {
        {"format", QLatin1String(kFormatName)},
        {"version", kVersion},
        {"language", QLatin1String(kLanguageCodes[at(language - 1)])},
        {"midiOut", setup.midiOut},
        {"midiIn", setup.midiIn},
        {"main", writeArea(setup.main)},
        {"chords", chordArea},
        {"keyboardChords", keyboardChords},
        {"guitarChords", guitarChords},
        {"drums", QJsonObject {{"volume", setup.drumVolume}, {"pads", pads}}},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

ReadResult readSetup(const QByteArray& text, const Setup& base)
{
    if (text.trimmed().isEmpty())
        return {std::nullopt, QStringLiteral("the file is empty")};
    QJsonParseError parseError {};
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return {std::nullopt,
            QStringLiteral("not a setup file (%1 at byte %2)").arg(parseError.errorString()).arg(parseError.offset)};
    const QJsonObject root = document.object();
    if (!document.isObject() || root.value(QLatin1String("format")).toString() != QLatin1String(kFormatName))
        return {std::nullopt, QStringLiteral("not a setup file (no \"format\": \"%1\")").arg(kFormatName)};
    const QJsonValue version = root.value(QLatin1String("version"));
    if (!version.isDouble() || version.toDouble() != kVersion)
        return {std::nullopt,
            QStringLiteral("version %1 is not known (this Clavora reads version %2)")
                .arg(version.isDouble() ? QString::number(version.toDouble()) : QStringLiteral("(none)"))
                .arg(kVersion)};

    Setup setup = base;
    Reader reader;
    readLanguage(reader, root, setup.language);
    reader.text(root, "midiOut", setup.midiOut);
    reader.text(root, "midiIn", setup.midiIn);
    readArea(reader, reader.object(root, QStringLiteral("main"), "main"), QStringLiteral("main"), setup.main);
    readChordArea(reader, reader.object(root, QStringLiteral("chords"), "chords"), setup);
    if (!reader.failed())
        readKeyboardChords(
            reader, reader.array(root, QStringLiteral("keyboardChords"), "keyboardChords"), setup.tables);
    if (!reader.failed())
        readGuitarChords(reader, reader.array(root, QStringLiteral("guitarChords"), "guitarChords"), setup.tables);
    if (!reader.failed())
        readDrums(reader, reader.object(root, QStringLiteral("drums"), "drums"), setup);
    if (reader.failed())
        return {std::nullopt, reader.error};
    return {setup, {}};
}

ReadResult readSetupFile(const QString& path, const Setup& base)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, file.errorString()};
    if (file.size() > kMaxFileSize)
        return {std::nullopt, QStringLiteral("the file is too large for a setup (%1 bytes)").arg(file.size())};
    const QByteArray text = file.read(kMaxFileSize + 1);
    if (file.error() != QFileDevice::NoError)
        return {std::nullopt, file.errorString()};
    if (text.size() > kMaxFileSize)
        return {std::nullopt, QStringLiteral("the file is too large for a setup")};
    return readSetup(text, base);
}

QStringList applySetup(Piano& piano, const Setup& setup, const MidiInChoice& midiIn)
{
    QStringList problems;
    sound::MidiPort& port = piano.port();
    const Setup now = captureSetup(piano, midiIn);
    if (!setup.midiOut.isEmpty() && setup.midiOut != now.midiOut) {
        port.refreshDevices();
        int found = -1;
        for (int device = 0; device < port.midiOutCount() && found < 0; ++device)
            if (QString::fromStdString(port.midiOutName(device)) == setup.midiOut)
                found = device;
        if (found >= 0 && port.openMidiOutDevice(found)) {
            port.setCurrentMidiDevice(found);
        } else if (found >= 0) {
            // The device is there but refused to open: back to the default,
            // as the device dialog does.
            problems.append(QStringLiteral("the MIDI output \"%1\" could not be opened").arg(setup.midiOut));
            port.setCurrentMidiDevice(sound::MidiPort::kDefaultDevice);
            port.openMidiOut();
        } else {
            problems.append(QStringLiteral("there is no MIDI output \"%1\"").arg(setup.midiOut));
        }
    }
    if (midiIn.choose && setup.midiIn != now.midiIn && !midiIn.choose(setup.midiIn))
        problems.append(QStringLiteral("the MIDI input \"%1\" could not be opened").arg(setup.midiIn));

    if (setup.language != piano.language())
        piano.setLanguage(setup.language);
    ChordArea& chordArea = piano.chordArea();
    chordArea.tables() = setup.tables;
    DrumPads& drums = piano.drumPads();
    for (int pad = 0; pad < DrumPads::kPadCount; ++pad)
        drums.setSound(pad, setup.padSounds[at(pad)], setup.padHigh[at(pad)]);
    drums.volume().setValue(setup.drumVolume);

    const AreaSetup& main = setup.main;
    piano.mainArea().applySlots(main.programs, main.octaves, main.volumes, main.slot, main.voices);
    chordArea.setChosenSplitPoint(setup.splitPoint);
    chordArea.selectMode(setup.mode);
    const AreaSetup& chords = setup.chords;
    chordArea.area().applySlots(chords.programs, chords.octaves, chords.volumes, chords.slot, chords.voices);
    return problems;
}

QString openSetupFile(Piano& piano, const QString& path, const MidiInChoice& midiIn)
{
    const Setup now = captureSetup(piano, midiIn);
    const ReadResult read = readSetupFile(path, defaultSetup(piano.language(), now.midiOut, now.midiIn));
    const QString name = QDir::toNativeSeparators(path);
    if (!read.setup)
        return lang::keepText(piano.language(), lang::KeepText::SetupRefused).arg(name, read.error);
    const QStringList problems = applySetup(piano, *read.setup, midiIn);
    if (problems.isEmpty())
        return {};
    return lang::keepText(piano.language(), lang::KeepText::SetupPartly).arg(name, problems.join(QStringLiteral("; ")));
}

SetupArguments takeSetupArguments(const QStringList& arguments)
{
    const QString option = QStringLiteral("--setup");
    SetupArguments result;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == option) {
            // The desktop entry's "--setup %f" loses its file when Clavora
            // is started from the menu: the option alone then means none.
            if (i + 1 < arguments.size())
                result.path = arguments.at(++i);
        } else if (argument.startsWith(option + QLatin1Char('='))) {
            result.path = argument.mid(option.size() + 1);
        } else {
            result.rest.append(argument);
        }
    }
    return result;
}

} // namespace clavora::setup
