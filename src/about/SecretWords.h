#pragma once
#include <QString>

#include <vector>

namespace clavora::about {

// What a secret word typed into the About box starts.
enum class Reaction { Listing, JokePage, VersionLine, HiddenGame, JokeSite };

// Every character typed into the About box, kept from one opening to the
// next so that a word may be begun in one and finished in another. The
// buffer empties itself when it reaches its limit.
class TypedWords {
public:
    static constexpr int kLimit = 255;

    // Appends the character and returns the reactions of the words the
    // buffer now ends with, in the order they are to run.
    std::vector<Reaction> type(QChar character);

    const QString& buffer() const { return buffer_; }

private:
    QString buffer_;
};

} // namespace clavora::about
