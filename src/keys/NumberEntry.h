#pragma once
#include <array>
#include <optional>

namespace clavora {

// A number typed digit by digit on the keypad: once `places` digits are in,
// the number is complete and the entry starts over. A half-typed number
// waits for its remaining digits; there is no time-out.
class NumberEntry {
public:
    explicit NumberEntry(int places)
        : places_(places)
    {
    }

    std::optional<int> enter(int digit)
    {
        digits_[static_cast<std::size_t>(position_)] = digit;
        if (position_ < places_) {
            ++position_;
            return std::nullopt;
        }
        int number = 0;
        for (int place = 1; place <= places_; ++place)
            number = number * 10 + digits_[static_cast<std::size_t>(place)];
        position_ = 1;
        return number;
    }

    void restart() { position_ = 1; }
    int position() const { return position_; }

private:
    int places_;
    int position_ = 1;
    std::array<int, 4> digits_ {};
};

} // namespace clavora
