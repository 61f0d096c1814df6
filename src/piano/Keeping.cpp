#include "Keeping.h"

#include "Piano.h"
#include "PianoWindow.h"
#include "lang/KeepTexts.h"
#include "platform/AtomicFile.h"
#include "platform/Platform.h"
#include "platform/TakeFormat.h"

#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressDialog>
#include <QStandardPaths>

#include <memory>
#include <thread>

namespace clavora {

namespace {

using lang::KeepText;

// The folder of that kind when it exists, else the home folder.
QString folderOf(QStandardPaths::StandardLocation location)
{
    const QString folder = QStandardPaths::writableLocation(location);
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

// Runs `work` on a thread of its own while a box with a busy bar and Cancel
// stands over the window, which goes on drawing itself: a long take takes
// minutes to render. Cancel, or the program ending, sets `stop` and waits
// for the work; nothing is said then, so the result is empty.
QString whileWorking(QWidget* owner, const QString& label, const QString& cancel,
    const std::function<QString(const std::atomic<bool>& stop)>& work)
{
    QProgressDialog box(label, cancel, 0, 0, owner);
    box.setObjectName(QStringLiteral("Working"));
    box.setWindowModality(Qt::ApplicationModal);
    box.setMinimumDuration(0);
    std::atomic<bool> stop = false;
    std::atomic<bool> done = false;
    QString result;
    QEventLoop loop;
    QObject::connect(&box, &QProgressDialog::canceled, &loop, &QEventLoop::quit);
    QObject::connect(&box, &QDialog::finished, &loop, &QEventLoop::quit); // Esc
    std::thread worker([&] {
        result = work(stop);
        done = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    box.show();
    loop.exec();
    const bool finished = done;
    stop = true;
    stop.notify_all();
    worker.join();
    return finished ? result : QString();
}

// Folders of this session: the next dialog opens where the last one ended.
struct Folders {
    QString recordings = folderOf(QStandardPaths::MusicLocation);
    QString setups = folderOf(QStandardPaths::DocumentsLocation);
};

void show(Platform& platform, MessageIcon icon, const QString& title, const QString& text)
{
    platform.messageBox(icon, title.toStdString(), text.toStdString());
}

} // namespace

QString recordingFileName(const QDateTime& time)
{
    return QStringLiteral("Clavora %1.mid").arg(time.toString(QStringLiteral("yyyy-MM-dd HH-mm")));
}

QString askFileWithQtDialog(QWidget* owner, const Keeping::FileQuestion& question)
{
    QFileDialog dialog(owner, question.title, question.folder);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(question.saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(question.saving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(question.filters);
    dialog.setDefaultSuffix(question.suffix);
    if (!question.fileName.isEmpty())
        dialog.selectFile(question.fileName);
    // A name typed without a suffix takes that of the filter chosen.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        const qsizetype star = filter.indexOf(QLatin1String("*."));
        if (star >= 0)
            dialog.setDefaultSuffix(filter.mid(star + 2).section(QLatin1Char(' '), 0, 0).remove(QLatin1Char(')')));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void installKeeping(PianoWindow& window, Piano& piano, Platform& platform, Keeping keeping)
{
    if (!keeping.askFile)
        keeping.askFile = askFileWithQtDialog;
    if (!keeping.clock)
        keeping.clock = [] { return QDateTime::currentDateTime(); };
    auto shared = std::make_shared<Keeping>(std::move(keeping));
    auto folders = std::make_shared<Folders>();
    const auto text = [&piano](KeepText t) { return lang::keepText(piano.language(), t); };
    const auto remember = [](QString& folder, const QString& path) { folder = QFileInfo(path).absolutePath(); };

    if (shared->saveTake && shared->forgetTake && shared->takeHasNotes) {
        window.setRecordingCommands(
            [&piano, &platform, shared, folders, text, remember](QWidget* owner) {
                const QString title = text(KeepText::SaveRecordingTitle);
                if (!shared->takeHasNotes())
                    return show(platform, MessageIcon::Information, title, text(KeepText::NothingPlayed));
                const QString path = shared->askFile(owner,
                    {title, folders->recordings, recordingFileName(shared->clock()),
                        {text(KeepText::MidiFiles), text(KeepText::WaveFiles)}, QStringLiteral("mid"), true});
                if (path.isEmpty())
                    return;
                remember(folders->recordings, path);
                const auto save = [&](const std::atomic<bool>& stop) { return shared->saveTake(path, stop); };
                const QString error = takeFormatOf(path) == TakeFormat::Wave
                    ? whileWorking(owner, text(KeepText::Rendering), text(KeepText::Cancel), save)
                    : save(std::atomic<bool>(false));
                if (!error.isEmpty())
                    show(platform, MessageIcon::Exclamation, title,
                        text(KeepText::NotSaved).arg(QDir::toNativeSeparators(path), error));
            },
            [shared](QWidget*) { shared->forgetTake(); });
    }

    window.setSetupCommands(
        [&piano, &platform, shared, folders, text, remember](QWidget* owner) {
            const QString title = text(KeepText::OpenSetupTitle);
            const QString path = shared->askFile(owner,
                {title, folders->setups, QString(), {text(KeepText::SetupFiles), text(KeepText::AllFiles)},
                    QLatin1String(setup::kSuffix), false});
            if (path.isEmpty())
                return;
            remember(folders->setups, path);
            if (const QString message = setup::openSetupFile(piano, path, shared->midiIn); !message.isEmpty())
                show(platform, MessageIcon::Exclamation, title, message);
        },
        [&piano, &platform, shared, folders, text, remember](QWidget* owner) {
            const QString title = text(KeepText::SaveSetupTitle);
            const QString path = shared->askFile(owner,
                {title, folders->setups, QStringLiteral("Clavora.clavora"), {text(KeepText::SetupFiles)},
                    QLatin1String(setup::kSuffix), true});
            if (path.isEmpty())
                return;
            remember(folders->setups, path);
            const QByteArray bytes = setup::writeSetup(setup::captureSetup(piano, shared->midiIn));
            if (const QString error = saveFileAtomically(path, bytes); !error.isEmpty())
                show(platform, MessageIcon::Exclamation, title,
                    text(KeepText::NotSaved).arg(QDir::toNativeSeparators(path), error));
        });
}

} // namespace clavora
