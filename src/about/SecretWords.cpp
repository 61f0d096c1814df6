#include "SecretWords.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace clavora::about {

namespace {

struct SecretWord {
    std::array<std::string_view, 4> spellings; // unused places stay empty
    Reaction reaction;
};

// Tested in this order; every word that matches starts its reaction.
const std::array<SecretWord, 6> kSecretWords = {{
    {{"TOVRA"}, Reaction::Listing},
    {{"VORNE"}, Reaction::JokePage},
    {{"XAN"}, Reaction::VersionLine},
    {{"DRAVENOK", "DRAVENIOK"}, Reaction::HiddenGame},
    {{"DRAZVENOK", "DRAZVENIOK", "DRAVINOK", "DRAVINIOK"}, Reaction::HiddenGame},
    {{"MERVO"}, Reaction::JokeSite},
}};

bool endsWith(const QString& buffer, std::string_view word)
{
    const QString tail = buffer.right(static_cast<qsizetype>(word.size())).toUpper();
    return tail == QLatin1String(word.data(), static_cast<qsizetype>(word.size()));
}

} // namespace

std::vector<Reaction> TypedWords::type(QChar character)
{
    buffer_.append(character);
    if (buffer_.size() >= kLimit)
        buffer_.clear();

    std::vector<Reaction> reactions;
    for (const SecretWord& word : kSecretWords) {
        if (std::any_of(word.spellings.begin(), word.spellings.end(),
                [this](std::string_view spelling) { return !spelling.empty() && endsWith(buffer_, spelling); }))
            reactions.push_back(word.reaction);
    }
    return reactions;
}

} // namespace clavora::about
