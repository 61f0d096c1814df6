#pragma once
#include <QByteArray>
#include <QtGlobal>

#include <optional>

namespace clavora::test {

// Sets (or, given nullptr, clears) an environment variable for one scope.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value)
        : name_(name)
        , old_(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt)
    {
        value ? qputenv(name, value) : qunsetenv(name);
    }
    ~ScopedEnvironment() { old_ ? qputenv(name_, *old_) : qunsetenv(name_); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    std::optional<QByteArray> old_;
};

} // namespace clavora::test
