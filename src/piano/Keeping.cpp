#include "Keeping.h"

#include "Piano.h"
#include "PianoWindow.h"
#include "lang/KeepTexts.h"
#include "platform/AtomicFile.h"
#include "platform/Platform.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

#include <memory>

namespace clavora {

namespace {

using lang::KeepText;

// The folder of that kind when it exists, else the home folder.
QString folderOf(QStandardPaths::StandardLocation location)
{
    const QString folder = QStandardPaths::writableLocation(location);
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
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
                if (const QString error = shared->saveTake(path); !error.isEmpty())
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
