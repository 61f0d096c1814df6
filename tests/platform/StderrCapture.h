#pragma once
// Catches what is written to file descriptor 2 while it lives.
#include <cstdio>
#include <iostream>
#include <string>

#include <unistd.h>

namespace clavora::test {

class StderrCapture {
public:
    StderrCapture()
        : file_(std::tmpfile())
    {
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        ::dup2(::fileno(file_), STDERR_FILENO);
    }

    ~StderrCapture()
    {
        restore();
        std::fclose(file_);
    }

    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Stops catching and returns what was caught.
    std::string finish()
    {
        restore();
        std::string text;
        std::rewind(file_);
        char buffer[512];
        std::size_t count = 0;
        while ((count = std::fread(buffer, 1, sizeof buffer, file_)) > 0)
            text.append(buffer, count);
        return text;
    }

private:
    void restore()
    {
        if (saved_ < 0)
            return;
        std::fflush(stderr);
        std::cerr.flush();
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        saved_ = -1;
    }

    std::FILE* file_;
    int saved_ = -1;
};

} // namespace clavora::test
