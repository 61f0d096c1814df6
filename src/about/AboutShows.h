#pragma once
#include <QObject>
#include <QString>

namespace clavora {
class Platform;
namespace sound {
class MidiPort;
}
} // namespace clavora

namespace clavora::about {

class TypedWords;
struct Tune;

// What the About box's two pictures can show besides their own design
// pictures: the pictures of the shows 1..21, the joke page and the joke site.
constexpr int kDesignPicture = 0;
constexpr int kJokePagePicture = 22;
constexpr int kJokeSitePicture = 23;

// The About box's reactions for one opening: secret words, the melody
// shows, the listing, the joke shows and the farewell line. The window
// shows the pictures and texts it reports; the typed-word buffer outlives it.
class AboutShows : public QObject {
    Q_OBJECT
public:
    AboutShows(TypedWords& words, sound::MidiPort& port, Platform& platform, int language, QObject* parent = nullptr);
    ~AboutShows() override;

    // A character typed into the window: the secret words.
    void keyPress(QChar character);
    // A key going down with the Shift/Ctrl/Alt bits held: Q plays a tune.
    void keyDown(int keyCode, int shiftState);
    // A press of any mouse button on the author's picture.
    void authorIconPressed(int shiftState);

    // Plays the language's tune for the modifiers held; nothing without one.
    void playMelody(int shiftState);
    // Silences the tune at once and ends it; for a window or program closing.
    void stopTune();

    void showListing();
    void showJokePage();
    void showVersionLine();
    void showJokeSite();
    // The window is closing: says the farewell line of the show whose picture
    // the author's picture holds, if any.
    void closing();

    int iconPicture() const { return iconPicture_; }
    int authorPicture() const { return authorPicture_; }

    static constexpr int kKeyQ = 81;

signals:
    // The pictures changed: the window shows them before anything sounds.
    void picturesChanged();
    void listingShown(const QString& text);
    void gameRequested();

private:
    void playTune(const Tune& tune);
    // Sounds one note for its time; false when the tune was stopped meanwhile.
    bool playNote(int note, int milliseconds);
    void setPictures(int icon, int author);

    TypedWords& words_;
    sound::MidiPort& port_;
    Platform& platform_;
    int language_;
    int iconPicture_ = kDesignPicture;
    int authorPicture_ = kDesignPicture;
    bool playing_ = false;
    bool stopping_ = false;
    int sounding_ = -1;
};

} // namespace clavora::about
