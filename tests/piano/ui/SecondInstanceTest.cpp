// Starts the built program while another run holds the lock (this test
// plays the first run): the second run must end at once, successfully,
// without opening the MIDI output or showing anything.
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(SecondInstance, EndsAtOnceAndShowsNothing)
{
    QTemporaryDir runtime;
    QLockFile firstRun(runtime.filePath(QStringLiteral("clavora.lock")));
    ASSERT_TRUE(firstRun.tryLock(0));

    const QString trace = runtime.filePath(QStringLiteral("trace.txt"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] :
        {std::pair {"XDG_RUNTIME_DIR", runtime.path()}, {"QT_QPA_PLATFORM", QStringLiteral("offscreen")},
            {"CLAVORA_SYNTH_SETTINGS",
                "audio.driver=file audio.file.name=" + runtime.filePath(QStringLiteral("a.wav"))},
            {"CLAVORA_MIDI_TRACE", trace}})
        environment.insert(QLatin1String(name), value);
    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(QStringLiteral(CLAVORA_PROGRAM), {});
    const bool ended = second.waitForFinished(5000);
    if (!ended) {
        second.kill();
        second.waitForFinished();
    }
    ASSERT_TRUE(ended) << "the second run stayed open";
    EXPECT_TRUE(second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0);
    EXPECT_FALSE(QFile::exists(trace)) << "the second run opened the MIDI output";
    EXPECT_EQ(second.readAllStandardOutput().toStdString() + second.readAllStandardError().toStdString(), "");
    EXPECT_TRUE(firstRun.isLocked());
}

} // namespace
