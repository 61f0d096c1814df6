#include "QueueLevel.h"

#include <algorithm>

namespace clavora {

QueueLevel::QueueLevel(std::size_t asked, std::size_t granted, std::size_t request, std::size_t start)
    : granted_(granted)
    , request_(request)
    , level_(std::min(granted, std::max({asked, request, start})))
{
}

std::size_t QueueLevel::answer(std::size_t requested) const
{
    const std::size_t unanswered = granted_ - level_;
    return requested > unanswered ? requested - unanswered : 0;
}

void QueueLevel::ranDry()
{
    level_ = std::min(granted_, level_ + request_);
}

} // namespace clavora
