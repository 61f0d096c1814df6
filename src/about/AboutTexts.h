#pragma once
#include <QString>
#include <QStringList>

namespace clavora::about {

// The About box's own texts that read the same in every language.
QString authorName();
QString emailAddress();

// The "XAN" box: its title and text.
QString versionLineTitle();
QString versionLineText();

// The joke web site whose welcome texts the joke-page show reads out, one
// line per box in the order shown, and its address.
QStringList jokePagePhrases();
QString jokePageAddress();
// The site whose picture the word "MERVO" shows, and its address.
QString jokeSiteAddress();

// The program listing of the "TOVRA" show, one program line per entry.
QStringList listingLines();
// The listing as the text box holds it: lines joined by CR LF, no break at
// the end.
QString listingText();

} // namespace clavora::about
