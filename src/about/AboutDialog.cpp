#include "AboutDialog.h"

#include "AboutShows.h"
#include "AboutTexts.h"
#include "Tunes.h"
#include "lang/Captions.h"
#include "widgets/Twips.h"

#include <QEvent>
#include <QFont>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmapCache>
#include <QPlainTextEdit>
#include <QPushButton>

// The pictures of the About box live in a resource file of this library.
static void initAboutPictures()
{
    Q_INIT_RESOURCE(about);
}

namespace clavora::about {

namespace {

// Design layout in twips: left, top, width, height.
constexpr QRect kWindow(0, 0, 5655, 3330);
constexpr QRect kClavoraIcon(120, 120, 720, 720);
constexpr QRect kProgramTitle(960, 150, 4455, 480);
constexpr QRect kFreeware(960, 720, 4455, 300);
constexpr QRect kAuthor(960, 1080, 4455, 300);
constexpr QRect kWebsite(960, 1440, 4455, 300);
constexpr QRect kEMail(960, 1800, 4455, 300);
constexpr QRect kAuthorIcon(120, 1440, 720, 720);
constexpr QRect kListing(960, 720, 4455, 1695);
constexpr QRect kOK(4140, 2760, 1275, 405);
constexpr int kPictureSize = 48; // pixels at 96 dpi, as the icon set is drawn

QString picturePath(const QString& name)
{
    return QStringLiteral(":/about/%1.svg").arg(name);
}

// Pictures are drawn once and then kept in the application's pixmap cache.
QPixmap picture(const QString& file, QSize size)
{
    const QString key = QStringLiteral("about:%1:%2").arg(file).arg(size.width());
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = QIcon(file).pixmap(size);
        QPixmapCache::insert(key, pixmap);
    }
    return pixmap;
}

QString showPictureFile(const char* kind, int show)
{
    return picturePath(QStringLiteral("show-%1-%2").arg(QLatin1String(kind)).arg(show, 2, 10, QLatin1Char('0')));
}

int shiftStateOf(Qt::KeyboardModifiers modifiers)
{
    return (modifiers.testFlag(Qt::ShiftModifier) ? kShiftBit : 0)
        | (modifiers.testFlag(Qt::ControlModifier) ? kCtrlBit : 0)
        | (modifiers.testFlag(Qt::AltModifier) ? kAltBit : 0);
}

QLabel* makeLabel(const char* name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

AboutDialog::AboutDialog(
    TypedWords& words, sound::MidiPort& port, Platform& platform, int language, GameOpener openGame, QWidget* parent)
    : QDialog(parent)
    , shows_(new AboutShows(words, port, platform, language, this))
    , openGame_(std::move(openGame))
{
    initAboutPictures();
    setObjectName(QStringLiteral("frmAbout"));
    setModal(true);
    buildControls();
    applyAboutTexts(language);

    connect(shows_, &AboutShows::picturesChanged, this, &AboutDialog::showPictures);
    connect(shows_, &AboutShows::listingShown, this, &AboutDialog::showListing);
    connect(shows_, &AboutShows::gameRequested, this, &AboutDialog::openHiddenGame);

    // Key preview: the window sees every key before the control that has the focus.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

AboutDialog::~AboutDialog() = default;

void AboutDialog::buildControls()
{
    const Twips t = Twips::forWidget(this);
    setFixedSize(t(kWindow.width()), t(kWindow.height()));

    clavoraIcon_ = makeLabel("ClavoraIcon", this);
    authorIcon_ = makeLabel("AuthorIcon", this);
    for (QLabel* picture : {clavoraIcon_, authorIcon_}) {
        picture->setAlignment(Qt::AlignCenter);
    }
    t.place(clavoraIcon_, kClavoraIcon.x(), kClavoraIcon.y(), kClavoraIcon.width(), kClavoraIcon.height());
    t.place(authorIcon_, kAuthorIcon.x(), kAuthorIcon.y(), kAuthorIcon.width(), kAuthorIcon.height());
    authorIcon_->setCursor(Qt::PointingHandCursor);

    auto* title = makeLabel("ProgramTitle", this);
    QFont big = title->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.6);
    title->setFont(big);
    title->setText(QStringLiteral("Clavora 2.6"));
    t.place(title, kProgramTitle.x(), kProgramTitle.y(), kProgramTitle.width(), kProgramTitle.height());

    auto* freeware = makeLabel("Freeware", this);
    author_ = makeLabel("Author", this);
    auto* website = makeLabel("Website", this);
    auto* email = makeLabel("EMail", this);
    for (QLabel* label : {website, email})
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    email->setText(emailAddress());
    const std::pair<QLabel*, QRect> lines[]
        = {{freeware, kFreeware}, {author_, kAuthor}, {website, kWebsite}, {email, kEMail}};
    for (const auto& [label, rect] : lines)
        t.place(label, rect.x(), rect.y(), rect.width(), rect.height());

    listing_ = new QPlainTextEdit(this);
    listing_->setObjectName(QStringLiteral("txtListing"));
    listing_->setReadOnly(true);
    listing_->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont listingFont(QStringLiteral("Sans Serif"));
    listingFont.setStyleHint(QFont::SansSerif);
    listingFont.setPointSizeF(8.25);
    listingFont.setBold(true);
    listing_->setFont(listingFont);
    t.place(listing_, kListing.x(), kListing.y(), kListing.width(), kListing.height());
    listing_->hide();

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    // Enter and Esc close the box; a blank typed as part of a word must not.
    ok->setFocusPolicy(Qt::NoFocus);
    t.place(ok, kOK.x(), kOK.y(), kOK.width(), kOK.height());
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    // The shows' pictures wait in hidden images until a show puts them on view.
    const QSize size = QSize(kPictureSize, kPictureSize) * logicalDpiY() / 96;
    auto hiddenPicture = [&](const QString& name, const QString& file) {
        auto* picture = new QLabel(this);
        picture->setObjectName(name);
        picture->setPixmap(about::picture(file, size));
        picture->setGeometry(authorIcon_->geometry());
        picture->hide();
        return picture;
    };
    for (int show = 1; show <= kShowCount; ++show) {
        showIconPictures_.push_back(
            hiddenPicture(QStringLiteral("ShowIconPicture%1").arg(show), showPictureFile("icon", show)));
        showAuthorPictures_.push_back(
            hiddenPicture(QStringLiteral("ShowAuthorPicture%1").arg(show), showPictureFile("author", show)));
    }
    jokePagePicture_ = hiddenPicture(QStringLiteral("JokePagePicture"), picturePath(QStringLiteral("joke-page")));
    jokeSitePicture_ = hiddenPicture(QStringLiteral("JokeSitePicture"), picturePath(QStringLiteral("joke-site")));
    designIcon_ = about::picture(picturePath(QStringLiteral("clavora")), size);
    designAuthor_ = about::picture(picturePath(QStringLiteral("author")), size);

    // Design texts: the English ones.
    applyAboutTexts(1);
    showPictures();
}

void AboutDialog::applyAboutTexts(int language)
{
    for (const lang::CaptionEntry& entry : lang::aboutBoxCaptions()) {
        const QString text = lang::captionText(entry, language);
        if (text.isNull())
            continue;
        const QString name
            = QString::fromLatin1(entry.objectName.data(), static_cast<qsizetype>(entry.objectName.size()));
        if (name == objectName())
            setWindowTitle(text);
        else if (name == author_->objectName())
            author_->setText(text + authorName());
        else if (auto* label = findChild<QLabel*>(name))
            label->setText(text);
    }
}

void AboutDialog::showPictures()
{
    const int icon = shows_->iconPicture();
    const int author = shows_->authorPicture();
    const auto index = [](int show) { return static_cast<std::size_t>(show - 1); };
    clavoraIcon_->setPixmap(icon >= 1 && icon <= kShowCount ? showIconPictures_[index(icon)]->pixmap() : designIcon_);
    if (author >= 1 && author <= kShowCount)
        authorIcon_->setPixmap(showAuthorPictures_[index(author)]->pixmap());
    else if (author == kJokePagePicture)
        authorIcon_->setPixmap(jokePagePicture_->pixmap());
    else if (author == kJokeSitePicture)
        authorIcon_->setPixmap(jokeSitePicture_->pixmap());
    else
        authorIcon_->setPixmap(designAuthor_);
    // Both pictures are on the screen before a tune starts to sound.
    if (isVisible())
        repaint();
}

void AboutDialog::openHiddenGame()
{
    if (openGame_)
        openGame_(this);
}

void AboutDialog::showListing(const QString& text)
{
    listing_->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    listing_->show();
}

void AboutDialog::done(int result)
{
    // The farewell is said once, however the window is closed.
    if (!closing_) {
        closing_ = true;
        shows_->closing();
    }
    QDialog::done(result);
}

void AboutDialog::closeWithoutFarewell()
{
    closing_ = true;
    shows_->stopTune();
    reject();
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        // Seen once, at the control the key was meant for, and only while
        // the box is on the screen.
        QWidget* target = focusWidget() ? focusWidget() : this;
        if (watched != target || !isVisible())
            break;
        auto* key = static_cast<QKeyEvent*>(event);
        // A held key types its character again and again, but starts its
        // melody once.
        if (!key->isAutoRepeat())
            shows_->keyDown(key->key(), shiftStateOf(key->modifiers()));
        for (const QChar character : key->text())
            shows_->keyPress(character);
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (watched == authorIcon_) {
            shows_->authorIconPressed(shiftStateOf(static_cast<QMouseEvent*>(event)->modifiers()));
            return true;
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace clavora::about
