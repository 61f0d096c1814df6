#include "AboutTexts.h"

#include <array>

namespace clavora::about {

namespace {

const char* const kListing[] = {
    "10 PLAY \"O2L16\"",
    "20 A$ = INKEY$",
    "30 IF A$ = CHR$(27) THEN END",
    "40 IF A$ = \"z\" THEN PLAY \"C\"",
    "50 IF A$ = \"s\" THEN PLAY \"C+\"",
    "60 IF A$ = \"x\" THEN PLAY \"D\"",
    "70 IF A$ = \"d\" THEN PLAY \"D+\"",
    "80 IF A$ = \"c\" THEN PLAY \"E\"",
    "90 IF A$ = \"v\" THEN PLAY \"F\"",
    "100 IF A$ = \"g\" THEN PLAY \"F+\"",
    "110 IF A$ = \"b\" THEN PLAY \"G\"",
    "120 IF A$ = \"h\" THEN PLAY \"G+\"",
    "130 IF A$ = \"n\" THEN PLAY \"A\"",
    "140 IF A$ = \"j\" THEN PLAY \"A+\"",
    "150 IF A$ = \"m\" THEN PLAY \"B\"",
    "160 PLAY \"O3\"",
    "170 IF A$ = \",\" THEN PLAY \"C\"",
    "180 IF A$ = \"l\" THEN PLAY \"C+\"",
    "190 IF A$ = \".\" THEN PLAY \"D\"",
    "200 IF A$ = \";\" THEN PLAY \"D+\"",
    "210 IF A$ = \"/\" THEN PLAY \"E\"",
    "220 IF A$ = \"q\" THEN PLAY \"F\"",
    "230 IF A$ = \"2\" THEN PLAY \"F+\"",
    "240 IF A$ = \"w\" THEN PLAY \"G\"",
    "250 IF A$ = \"3\" THEN PLAY \"G+\"",
    "260 IF A$ = \"e\" THEN PLAY \"A\"",
    "270 IF A$ = \"4\" THEN PLAY \"A+\"",
    "280 IF A$ = \"r\" THEN PLAY \"B\"",
    "290 PLAY \"O4\"",
    "300 IF A$ = \"t\" THEN PLAY \"C\"",
    "310 IF A$ = \"6\" THEN PLAY \"C+\"",
    "320 IF A$ = \"y\" THEN PLAY \"D\"",
    "330 IF A$ = \"7\" THEN PLAY \"D+\"",
    "340 IF A$ = \"u\" THEN PLAY \"E\"",
    "350 IF A$ = \"i\" THEN PLAY \"F\"",
    "360 IF A$ = \"9\" THEN PLAY \"F+\"",
    "370 IF A$ = \"o\" THEN PLAY \"G\"",
    "380 IF A$ = \"0\" THEN PLAY \"G+\"",
    "390 IF A$ = \"p\" THEN PLAY \"A\"",
    "400 IF A$ = \"-\" THEN PLAY \"A+\"",
    "410 IF A$ = \"[\" THEN PLAY \"B\"",
    "430 PLAY \"O2\"",
    "440 GOTO 20",
};

// The welcome texts of the joke site, and the order the show reads them in.
const char* const kJokePhrases[] = {
    "Welcome to Gargalhada.example, the home of the giggle!",
    "Gargalhada.example: now with 40% more punchlines.",
    "You are visitor number 7 at Gargalhada.example. Lucky you!",
    "Gargalhada.example is best viewed with your eyes open.",
    "Please wipe your feet before entering Gargalhada.example.",
    "Gargalhada.example has detected that you are smiling.",
    "No jokes were harmed in the making of Gargalhada.example.",
    "Gargalhada.example: laughing since the last century.",
    "Gargalhada.example is loading... please hum along.",
    "Our chickens cross roads only at Gargalhada.example.",
    "Gargalhada.example thanks you for your patience. And your ears.",
    "Still here? Gargalhada.example likes you too.",
    "Gargalhada.example: the page that never ends its welcome.",
    "Enjoy your stay at Gargalhada.example. Mind the puns.",
};
constexpr std::array<int, 26> kJokeOrder
    = {0, 1, 2, 0, 3, 4, 5, 0, 6, 7, 8, 8, 8, 9, 10, 0, 11, 12, 12, 3, 13, 1, 11, 12, 0, 13};

} // namespace

QString authorName()
{
    return QStringLiteral("Marcos Valtierra");
}

QString emailAddress()
{
    return QStringLiteral("marcos.valtierra@clavora.example");
}

QString versionLineTitle()
{
    return QStringLiteral("XAN");
}

QString versionLineText()
{
    return QStringLiteral("Clavora 2.6.0.0 (05/Junho/2015), criado por ") + authorName();
}

QStringList jokePagePhrases()
{
    QStringList phrases;
    for (const int phrase : kJokeOrder)
        phrases.append(QString::fromLatin1(kJokePhrases[phrase]));
    return phrases;
}

QString jokePageAddress()
{
    return QStringLiteral("https://www.gargalhada.example");
}

QString jokeSiteAddress()
{
    return QStringLiteral("https://www.mervo.example");
}

QStringList listingLines()
{
    QStringList lines;
    for (const char* line : kListing)
        lines.append(QString::fromLatin1(line));
    return lines;
}

QString listingText()
{
    return listingLines().join(QStringLiteral("\r\n"));
}

} // namespace clavora::about
