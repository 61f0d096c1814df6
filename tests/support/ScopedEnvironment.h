#pragma once
#include <QByteArray>
#include <QtGlobal>

namespace clavora::test {

// Sets (or, given nullptr, clears) an environment variable for one scope.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value)
        : name_(name)
        , had_(qEnvironmentVariableIsSet(name))
        , old_(qgetenv(name))
    {
        if (value)
            qputenv(name, value);
        else
            qunsetenv(name);
    }
    ~ScopedEnvironment()
    {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

} // namespace clavora::test
