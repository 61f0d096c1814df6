#pragma once
// Program > Save Recording, New Recording, Open Setup and Save Setup: the
// file dialogs and boxes around the take and the setup files.
#include "Setup.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

class QWidget;

namespace clavora {
class Piano;
class PianoWindow;
class Platform;

struct Keeping {
    // The take kept in memory: whether it holds a note, saving it (the
    // reason it failed, or an empty string) and forgetting it. Without
    // them the recording commands stay off. A WAV file is saved on a thread
    // of its own, which stops early when `stop` is set.
    std::function<bool()> takeHasNotes;
    std::function<QString(const QString& path, const std::atomic<bool>& stop)> saveTake;
    std::function<void()> forgetTake;
    setup::MidiInChoice midiIn;

    // What a file dialog is asked.
    struct FileQuestion {
        QString title;
        QString folder;
        QString fileName; // proposed; empty when opening
        QStringList filters;
        QString suffix; // added to a name typed without one
        bool saving = true;
    };
    // Asks for a file; an empty string when cancelled. Qt's own file dialog
    // unless replaced.
    std::function<QString(QWidget* owner, const FileQuestion& question)> askFile;
    // The time the proposed recording name is made of.
    std::function<QDateTime()> clock;
};

// "Clavora 2026-12-07 10-42.mid": the name proposed for a recording.
QString recordingFileName(const QDateTime& time);

// Qt's own file dialog (not the desktop's), so that it behaves the same
// everywhere.
QString askFileWithQtDialog(QWidget* owner, const Keeping::FileQuestion& question);

// Puts the four commands in the window's Program menu. Boxes go through the
// platform.
void installKeeping(PianoWindow& window, Piano& piano, Platform& platform, Keeping keeping);

} // namespace clavora
