#pragma once
// Setups: everything a player shapes in a session (voice slots, split point,
// chord mode, edited chords and drum pads, drum volume, devices, language),
// kept in a text file the player asks for. Reading checks the whole file
// before anything is applied: a bad file changes nothing.
#include "chords/ChordArea.h"
#include "chords/ChordModel.h"
#include "drums/DrumPads.h"
#include "keys/VoiceArea.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

namespace clavora {
class Piano;
}

namespace clavora::setup {

constexpr int kVersion = 1;
// The mark in every setup file, so that another program's JSON is not taken
// for one.
inline constexpr char kFormatName[] = "Clavora setup";
inline constexpr char kSuffix[] = "clavora";
// A setup is a few kilobytes; anything much larger is not one.
constexpr qint64 kMaxFileSize = 1024 * 1024;

struct AreaSetup {
    std::array<int, kSlotCount> programs {};
    std::array<int, kSlotCount> octaves {};
    std::array<int, kSlotCount> volumes {};
    int slot = 1;
    int voices = 1;
    bool operator==(const AreaSetup&) const = default;
};

struct Setup {
    AreaSetup main;
    AreaSetup chords;
    ChordArea::Mode mode = ChordArea::Mode::ThreeKeys;
    int splitPoint = 0;
    chords::ChordTables tables;
    std::array<int, DrumPads::kPadCount> padSounds {};
    std::array<bool, DrumPads::kPadCount> padHigh {};
    int drumVolume = DrumPads::kDefaultVolume;
    int language = 1;
    // Devices by name; an empty name is none (the input) or the default
    // output.
    QString midiOut;
    QString midiIn;

    bool operator==(const Setup& other) const;
};

// The MIDI input as the setup sees it: the name of the one in use, and a way
// to choose one by name (false when it cannot be opened). Without them the
// setup writes no input and ignores the one it reads.
struct MidiInChoice {
    std::function<QString()> current;
    std::function<bool(const QString&)> choose;
};

// What a start leaves: every default, with this language and these devices.
Setup defaultSetup(int language, const QString& midiOut = {}, const QString& midiIn = {});

// The setup in force.
Setup captureSetup(Piano& piano, const MidiInChoice& midiIn = {});

// The text of a setup file: JSON, indented, with the chords and pads that
// differ from the defaults only.
QByteArray writeSetup(const Setup& setup);

struct ReadResult {
    std::optional<Setup> setup;
    // The first problem found, when the text is refused.
    QString error;
};

// Reads a setup file's text over `base`: what the text leaves out keeps the
// base's value. Unknown keys are ignored; anything else wrong refuses the
// whole text.
ReadResult readSetup(const QByteArray& text, const Setup& base);

// Reads the file at `path` as readSetup() does; a file that cannot be read
// is refused with the reason.
ReadResult readSetupFile(const QString& path, const Setup& base);

// Puts the setup in force, sending the program changes it implies as the
// same changes made by hand would: the output device first (by name, when
// it differs from the open one), then the language, the tables and pads, and
// each area's slots in turn. Returns what could not be done (a device that
// is missing), in English, one line each; the rest is applied all the same.
QStringList applySetup(Piano& piano, const Setup& setup, const MidiInChoice& midiIn = {});

// Reads the setup file and puts it in force over the defaults, the current
// language and devices. Returns the message to show (in the piano's
// language): the file and the first problem when it is refused, what could
// not be applied otherwise; an empty string when it all went well.
QString openSetupFile(Piano& piano, const QString& path, const MidiInChoice& midiIn = {});

// The command line with "--setup FILE" (or "--setup=FILE") taken out
// wherever it stands; "--setup" last, with no file, opens none.
struct SetupArguments {
    QString path;
    QStringList rest;
};
SetupArguments takeSetupArguments(const QStringList& arguments);

} // namespace clavora::setup
