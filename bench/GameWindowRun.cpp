// Opens the game window on its own, with the real event loop and clock, for
// looking at it and measuring what a running game costs.
#include "game/GameWindow.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    clavora::game::GameWindow window(nullptr);
    window.exec();
    return 0;
}
