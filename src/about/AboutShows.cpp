#include "AboutShows.h"

#include "AboutTexts.h"
#include "SecretWords.h"
#include "Tunes.h"
#include "platform/MidiConstants.h"
#include "platform/Platform.h"
#include "sound/MidiPort.h"

namespace clavora::about {

namespace {

constexpr int kTuneVelocity = 127;
const std::string kBlankTitle = " ";

} // namespace

AboutShows::AboutShows(TypedWords& words, sound::MidiPort& port, Platform& platform, int language, QObject* parent)
    : QObject(parent)
    , words_(words)
    , port_(port)
    , platform_(platform)
    , language_(language)
{
}

AboutShows::~AboutShows()
{
    stopTune();
}

void AboutShows::keyPress(QChar character)
{
    for (const Reaction reaction : words_.type(character)) {
        switch (reaction) {
        case Reaction::Listing:
            showListing();
            break;
        case Reaction::JokePage:
            showJokePage();
            break;
        case Reaction::VersionLine:
            showVersionLine();
            break;
        case Reaction::HiddenGame:
            emit gameRequested();
            break;
        case Reaction::JokeSite:
            showJokeSite();
            break;
        }
    }
}

void AboutShows::keyDown(int keyCode, int shiftState)
{
    if (keyCode == kKeyQ)
        playMelody(shiftState);
}

void AboutShows::authorIconPressed(int shiftState)
{
    playMelody(shiftState);
}

void AboutShows::playMelody(int shiftState)
{
    if (const Tune* tune = tuneFor(language_, shiftState))
        playTune(*tune);
}

void AboutShows::playTune(const Tune& tune)
{
    if (playing_)
        return;
    setPictures(tune.show, tune.show);
    playing_ = true;
    stopping_ = false;
    const int channel = midi::kTuneChannel;
    port_.sendShortMessage(midi::kProgramChange + channel, tune.program, 0);
    for (const TuneNote& note : tune.notes) {
        if (!playNote(note.note, note.milliseconds))
            break;
    }
    // Cut short: the note still sounding goes off now unless stopTune() did so.
    if (sounding_ >= 0)
        port_.sendShortMessage(midi::kNoteOff + channel, sounding_, 0);
    sounding_ = -1;
    playing_ = false;
    stopping_ = false;
}

bool AboutShows::playNote(int note, int milliseconds)
{
    sounding_ = note;
    port_.sendShortMessage(midi::kNoteOn + midi::kTuneChannel, note, kTuneVelocity);
    const bool waited = platform_.waitDeferringInput(milliseconds);
    if (stopping_ || !waited)
        return false;
    port_.sendShortMessage(midi::kNoteOff + midi::kTuneChannel, note, 0);
    sounding_ = -1;
    return true;
}

void AboutShows::stopTune()
{
    if (!playing_ || stopping_)
        return;
    stopping_ = true;
    if (sounding_ >= 0)
        port_.sendShortMessage(midi::kNoteOff + midi::kTuneChannel, sounding_, 0);
    sounding_ = -1;
    platform_.cancelWait();
}

void AboutShows::setPictures(int icon, int author)
{
    iconPicture_ = icon;
    authorPicture_ = author;
    emit picturesChanged();
}

void AboutShows::showListing()
{
    emit listingShown(listingText());
}

void AboutShows::showJokePage()
{
    authorPicture_ = kJokePagePicture;
    emit picturesChanged();
    for (const QString& phrase : jokePagePhrases())
        platform_.messageBox(MessageIcon::Information, kBlankTitle, phrase.toStdString());
}

void AboutShows::showVersionLine()
{
    platform_.messageBox(MessageIcon::Information, versionLineTitle().toStdString(), versionLineText().toStdString());
}

void AboutShows::showJokeSite()
{
    authorPicture_ = kJokeSitePicture;
    emit picturesChanged();
}

void AboutShows::closing()
{
    stopTune();
    QString line;
    if (authorPicture_ >= 1 && authorPicture_ <= kShowCount) {
        for (const Tune& tune : tunes()) {
            if (tune.show == authorPicture_)
                line = tune.farewell;
        }
    } else if (authorPicture_ == kJokePagePicture) {
        line = jokePageAddress();
    } else if (authorPicture_ == kJokeSitePicture) {
        line = jokeSiteAddress();
    }
    if (!line.isEmpty())
        platform_.messageBox(MessageIcon::Information, kBlankTitle, line.toStdString());
}

} // namespace clavora::about
