#pragma once
// MIDI sources whose list changes only when read again: `plugged` is what
// refresh() reads into `names`. Those in `failing` refuse to open; opening
// and closing are logged ("open 1", "close"); checkSource() gives the `news`
// in turn, then None.
#include "platform/MidiInput.h"

#include <QStringList>

#include <deque>
#include <set>
#include <string>
#include <vector>

namespace clavora::test {

struct FakeMidiInput final : MidiInput {
    std::vector<std::string> plugged, names;
    std::set<int> failing;
    std::deque<PortNews> news;
    QStringList log;
    int open_ = -1;

    void refresh() override { names = plugged; }
    int sourceCount() const override { return int(names.size()); }
    std::string sourceName(int source) const override { return names.at(std::size_t(source)); }
    bool open(int source) override
    {
        log << QStringLiteral("open %1").arg(source);
        open_ = failing.contains(source) ? -1 : source;
        return open_ >= 0;
    }
    void close() override
    {
        log << QStringLiteral("close");
        open_ = -1;
    }
    int openSource() const override { return open_; }
    PortNews checkSource() override
    {
        if (news.empty())
            return PortNews::None;
        const PortNews next = news.front();
        news.pop_front();
        return next;
    }
};

} // namespace clavora::test
