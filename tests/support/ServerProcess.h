#pragma once
// A sound server run for a test. It ends with the test, even one that
// crashes, and is otherwise ended by SIGTERM, as a user stopping it would.
#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>
#include <QThread>

#include <csignal>
#include <memory>

#include <sys/prctl.h>

// In a test: starts a test server again after the test stopped it, or skips
// the rest of the test, with the reason, when it does not come back.
// The empty branch keeps an `else` written after it for the caller's `if`.
#define RESTART_OR_SKIP(server)                                                                                        \
    if ((server).start()) {                                                                                            \
    } else                                                                                                             \
        GTEST_SKIP() << "the server did not come back: " << (server).whyNot().toStdString()

namespace clavora::test {

class ServerProcess {
public:
    ~ServerProcess() { stop(); }

    // Starts `program` and waits (5 s at most) until it `answers`. False,
    // with the reason in whyNot(), when it does not.
    template <typename Answers> bool start(const QString& program, const QStringList& arguments, Answers answers)
    {
        stop();
        process_ = std::make_unique<QProcess>();
        process_->setProcessChannelMode(QProcess::MergedChannels);
        process_->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
        process_->start(program, arguments);
        if (!process_->waitForStarted())
            return fail(program + QStringLiteral(" did not start"));
        for (const QDeadlineTimer deadline(5000); !answers(); QThread::msleep(10)) {
            if (deadline.hasExpired() || process_->state() != QProcess::Running) {
                stop();
                return fail(program + QStringLiteral(" did not come up: ") + output_);
            }
        }
        return true;
    }

    // Ends the server with SIGTERM and waits for it to go.
    void stop()
    {
        if (!process_)
            return;
        signal(SIGCONT);
        process_->terminate();
        if (!process_->waitForFinished(5000)) {
            process_->kill();
            process_->waitForFinished();
        }
        output_ += QString::fromLocal8Bit(process_->readAll());
        process_.reset();
    }

    void signal(int number)
    {
        if (process_)
            ::kill(static_cast<pid_t>(process_->processId()), number);
    }

    bool fail(const QString& reason)
    {
        output_ = reason;
        return false;
    }

    const QString& whyNot() const { return output_; }

private:
    std::unique_ptr<QProcess> process_;
    QString output_;
};

} // namespace clavora::test
