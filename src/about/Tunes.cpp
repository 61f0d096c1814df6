#include "Tunes.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <numeric>

// The tune book is a resource of this library.
static void initTuneBook()
{
    Q_INIT_RESOURCE(tunes);
}

namespace clavora::about {

namespace {

const char* const kLanguageNames[] = {"English", "Portuguese", "Spanish"};

int languageNumber(const QString& name)
{
    for (int i = 0; i < 3; ++i) {
        if (name == QLatin1String(kLanguageNames[i]))
            return i + 1;
    }
    return 0;
}

std::vector<Tune> loadTuneBook()
{
    initTuneBook();
    QFile file(QStringLiteral(":/about/tunes.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return parseTuneBook(QString::fromUtf8(file.readAll()));
}

} // namespace

int Tune::totalMilliseconds() const
{
    return std::accumulate(
        notes.begin(), notes.end(), 0, [](int sum, const TuneNote& note) { return sum + note.milliseconds; });
}

int noteNumber(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^([A-G])([#b]?)(-?[0-9])$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return -1;
    static const int kPitchClass[] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    int note = kPitchClass[match.captured(1).at(0).unicode() - 'A'];
    if (match.captured(2) == QLatin1String("#"))
        ++note;
    else if (match.captured(2) == QLatin1String("b"))
        --note;
    return note + 12 * (match.captured(3).toInt() + 1);
}

// The book: one block per show, beginning "show <k> <language> <number>",
// then "kind", "program" and "farewell" lines and any number of "notes"
// lines of name and milliseconds pairs. '#' starts a comment line.
std::vector<Tune> parseTuneBook(const QString& text)
{
    std::vector<Tune> book;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype blank = line.indexOf(QLatin1Char(' '));
        const QString key = line.left(blank);
        const QString rest = blank < 0 ? QString() : line.mid(blank + 1).trimmed();
        if (key == QLatin1String("show")) {
            const QStringList words = rest.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            Tune tune;
            tune.show = words.value(0).toInt();
            tune.language = languageNumber(words.value(1));
            tune.number = words.value(2).toInt();
            book.push_back(tune);
        } else if (book.empty()) {
            continue;
        } else if (key == QLatin1String("kind")) {
            book.back().kind = rest;
        } else if (key == QLatin1String("program")) {
            book.back().program = rest.toInt();
        } else if (key == QLatin1String("farewell")) {
            book.back().farewell = rest;
        } else if (key == QLatin1String("notes")) {
            const QStringList words = rest.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            for (qsizetype i = 0; i + 1 < words.size(); i += 2) {
                const int note = noteNumber(words[i]);
                bool isNumber = false;
                const int milliseconds = words[i + 1].toInt(&isNumber);
                if (note >= 0 && isNumber)
                    book.back().notes.push_back({note, milliseconds});
            }
        }
    }
    return book;
}

const std::vector<Tune>& tunes()
{
    static const std::vector<Tune> book = loadTuneBook();
    return book;
}

const Tune* tuneFor(int language, int shiftState)
{
    const int number = shiftState & (kShiftBit | kCtrlBit | kAltBit);
    if (number < 1 || number > kShowsPerLanguage || language < 1 || language > 3)
        return nullptr;
    const int show = (language - 1) * kShowsPerLanguage + number;
    for (const Tune& tune : tunes()) {
        if (tune.show == show)
            return &tune;
    }
    return nullptr;
}

} // namespace clavora::about
