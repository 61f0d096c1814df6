#pragma once
#include <QDialog>
#include <QPixmap>

#include <functional>
#include <vector>

class QLabel;
class QPlainTextEdit;

namespace clavora {
class Platform;
namespace sound {
class MidiPort;
}
} // namespace clavora

namespace clavora::about {

class AboutShows;
class TypedWords;

// The About box: program title, credits and addresses, and the hidden shows
// started by words typed into it, by Q and by clicks on the author's
// picture with Shift, Ctrl and Alt. Keys reach it whichever control has the
// focus. Closing it after a show says the show's farewell line.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    // Opens the hidden game modally over the About box.
    using GameOpener = std::function<void(QWidget* owner)>;

    AboutDialog(TypedWords& words, sound::MidiPort& port, Platform& platform, int language, GameOpener openGame,
        QWidget* parent = nullptr);
    ~AboutDialog() override;

    AboutShows& shows() { return *shows_; }

    void done(int result) override;
    // For the program ending: silences a tune and closes without a farewell.
    void closeWithoutFarewell();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void applyAboutTexts(int language);
    void showPictures();
    void showListing(const QString& text);
    void openHiddenGame();

    AboutShows* shows_ = nullptr;
    GameOpener openGame_;
    QLabel* clavoraIcon_ = nullptr;
    QLabel* authorIcon_ = nullptr;
    QLabel* author_ = nullptr;
    QPlainTextEdit* listing_ = nullptr;
    std::vector<QLabel*> showIconPictures_;
    std::vector<QLabel*> showAuthorPictures_;
    QLabel* jokePagePicture_ = nullptr;
    QLabel* jokeSitePicture_ = nullptr;
    QPixmap designIcon_;
    QPixmap designAuthor_;
    bool closing_ = false;
};

} // namespace clavora::about
