#pragma once
#include "Game.h"

#include <QDialog>
#include <QString>

#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QTimer;

namespace clavora::game {

class TimerHost;

// The hidden falling-block game's window. Open it modally with exec() over
// its owner; a game A starts by itself half a second after it shows. The
// game runs inside the call that starts it (the start timer's handler or the
// F2/F3 key), pumping the window's events, until it ends or the window
// closes; F2 or F3 during a game starts the new game in that same run and
// returns at once. Tests pass a timer host of their own and a fixed seeder; by default
// the window uses the event loop and seeds every game from the random device.
class GameWindow : public QDialog, private GameEvents {
    Q_OBJECT
public:
    explicit GameWindow(QWidget* owner, std::shared_ptr<TimerHost> host = {}, Game::Seeder seeder = {});
    ~GameWindow() override;

    const Game& game() const { return *myGame_; }

public slots:
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void chooseFonts();
    void fitGridFont(QFont font);
    void NewGameA();
    void NewGameB();
    void keyDown(int key);
    void keyPress(const QString& text);
    void showMessage(const QString& text, const QColor& colour);
    static void showGrid(QLabel* label, const QString& text);

    void GameStarted() override;
    void MatrixUpdated(const Rectangle& UpdatedArea, bool NextPieceChanged) override;
    void LineCleared() override;
    void GameOver(bool EndedByUser, bool GameCompleted) override;

    std::unique_ptr<Game> myGame_;
    bool HasSymbolFont_ = false;
    QString LastMatrixText_;
    QString LastNextText_;
    QString KeyBuffer_;
    bool started_ = false;

    QLabel* lblMatrix_ = nullptr;
    QLabel* lblNext_ = nullptr;
    QLabel* lblLines_ = nullptr;
    QLabel* lblMessage_ = nullptr;
    QLineEdit* txtKey_ = nullptr;
    QTimer* tmrStart_ = nullptr;
};

} // namespace clavora::game
