#pragma once
#include <string>

namespace clavora::game {

// The game engine's credits.
class Engine {
public:
    void SetNew()
    {
        EngineVersion = "Blokkan Simple Engine Version 1.1";
        AboutThisEngine = "Blokkan engine written by Tomas Ferreira Lind <blokkan@clavora.example>";
        AboutBlokkan = "Falling blocks: after a game by Alexey Pajitnov";
    }

    std::string EngineVersion;
    std::string AboutThisEngine;
    std::string AboutBlokkan;
};

} // namespace clavora::game
