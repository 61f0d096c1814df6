#include "GameWindow.h"

#include "EventLoopHost.h"
#include "widgets/Twips.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShowEvent>
#include <QTimer>

#include <exception>

namespace clavora::game {

namespace {

// Design positions in twips inside their container.
struct Place {
    const char* name;
    int left, top, width, height;
};
constexpr Place kFrame2 {"Frame2", 2820, 4680, 1575, 675};
constexpr Place kLabel3 {"Label3", 120, 180, 1335, 435};
constexpr Place kFrame3 {"Frame3", 2820, 3480, 1575, 1095};
constexpr Place kLabel2 {"Label2", 120, 660, 1260, 195};
constexpr Place kLblNewA {"lblNewA", 120, 300, 1260, 195};
constexpr Place kLabel1 {"Label1", 120, 300, 45, 195};
constexpr Place kFraMessage {"fraMessage", 2820, 2640, 1575, 675};
constexpr Place kLblMessage {"lblMessage", 120, 300, 1335, 195};
constexpr Place kFrame1 {"Frame1", 180, 120, 2415, 5235};
constexpr Place kLblMatrix {"lblMatrix", 120, 240, 2235, 4815};
constexpr Place kFraNect {"fraNect", 2820, 120, 1575, 1635};
constexpr Place kLblNext {"lblNext", 330, 360, 1035, 1035};
constexpr Place kFraScore {"fraScore", 2820, 1800, 1575, 675};
constexpr Place kLblLinesLabel {"lblLinesLabel", 180, 300, 420, 195};
constexpr Place kLblLines {"lblLines", 780, 300, 90, 195};
constexpr Place kTxtKey {"txtKey", 1020, 4620, 1275, 315};
// The window's client area: the right column's edge and the grid frame's
// bottom, with the grid frame's margins.
constexpr int kClientWidth = 2820 + 1575 + 180;
constexpr int kClientHeight = 120 + 5235 + 120;

constexpr qreal kCaptionPointSize = 7.5;
constexpr int kStartDelayMs = 500;
constexpr int kKeyBufferLimit = 255;
const QString kCheatWord = QStringLiteral("KRWOT");
const QColor kCompletedColour(0, 128, 0);
const QColor kLostColour(128, 0, 0);

// How grids are written as text: the symbol font's block and space glyphs,
// or plain characters in a monospaced font where that font is missing.
struct GlyphSet {
    const char* family;
    int pointSize;
    const char* gridSolid;
    const char* gridEmpty;
    const char* nextSolid;
    const char* nextEmpty;
};
constexpr GlyphSet kSymbolGlyphs {"WingDings 2", 12, "\u00A2", "\u00A3", "\u00A2", "\u00A3"};
constexpr GlyphSet kTextGlyphs {"Courier New", 11, "#", "\u00B7", "#", "."};
constexpr const char* kSymbolFamily = "Wingdings 2";
constexpr const char* kLineBreak = "\n";

const GlyphSet& glyphs(bool hasSymbolFont)
{
    return hasSymbolFont ? kSymbolGlyphs : kTextGlyphs;
}

template <typename Widget> Widget* make(const Place& place, QWidget* parent, const Twips& twips)
{
    auto* widget = new Widget(parent);
    widget->setObjectName(QLatin1String(place.name));
    twips.place(widget, place.left, place.top, place.width, place.height);
    return widget;
}

QLabel* makeLabel(const Place& place, QWidget* parent, const Twips& twips, const QString& text = {})
{
    auto* label = make<QLabel>(place, parent, twips);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

// Handlers of the game window drop a failing statement and go on.
template <typename Action> void ignoringErrors(Action&& action)
{
    try {
        action();
    } catch (const std::exception&) {
    }
}

} // namespace

GameWindow::GameWindow(QWidget* owner, std::shared_ptr<TimerHost> host, Game::Seeder seeder)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("frmBlokkan"));
    setWindowTitle(QString());
    setModal(true);
    buildControls();
    chooseFonts();
    if (!host)
        host = std::make_shared<EventLoopHost>();
    myGame_ = Blokkan::NewGame(std::move(host), std::move(seeder));
    myGame_->setEvents(this);
}

GameWindow::~GameWindow()
{
    myGame_->setEvents(nullptr);
    myGame_->Unload();
}

void GameWindow::buildControls()
{
    const Twips t = Twips::forWidget(this);
    setFixedSize(t(kClientWidth), t(kClientHeight));
    // The design's small dialog type, so the captions fit their frames.
    QFont small = font();
    small.setPointSizeF(kCaptionPointSize);
    setFont(small);

    // The key receiver lies under the grid frame: it holds the focus unseen.
    txtKey_ = make<QLineEdit>(kTxtKey, this, t);
    txtKey_->installEventFilter(this);

    auto* frame2 = make<QGroupBox>(kFrame2, this, t);
    auto* credit = makeLabel(kLabel3, frame2, t, QStringLiteral("After a game by Alexey Pajitnov."));
    credit->setWordWrap(true);

    auto* frame3 = make<QGroupBox>(kFrame3, this, t);
    makeLabel(kLabel2, frame3, t, QStringLiteral("F3 - New Game B"));
    makeLabel(kLblNewA, frame3, t, QStringLiteral("F2 - New Game A"));
    makeLabel(kLabel1, frame3, t);

    auto* fraMessage = make<QGroupBox>(kFraMessage, this, t);
    lblMessage_ = makeLabel(kLblMessage, fraMessage, t);

    auto* frame1 = make<QGroupBox>(kFrame1, this, t);
    frame1->setAutoFillBackground(true);
    lblMatrix_ = makeLabel(kLblMatrix, frame1, t);
    lblMatrix_->setAlignment(Qt::AlignCenter);

    auto* fraNect = make<QGroupBox>(kFraNect, this, t);
    fraNect->setTitle(QStringLiteral("Next"));
    lblNext_ = makeLabel(kLblNext, fraNect, t);
    lblNext_->setAlignment(Qt::AlignCenter);

    auto* fraScore = make<QGroupBox>(kFraScore, this, t);
    makeLabel(kLblLinesLabel, fraScore, t, QStringLiteral("Lines:"));
    lblLines_ = makeLabel(kLblLines, fraScore, t, QStringLiteral("0"));

    // Captions and counts take the room their text needs, up to their
    // frame's right edge.
    for (QLabel* label : findChildren<QLabel*>()) {
        QWidget* frame = label->parentWidget();
        if (label == lblMatrix_ || label == lblNext_ || label->wordWrap() || frame == this)
            continue;
        const int room = frame->width() - label->x() - t(45);
        QString widest = label->text();
        if (label == lblLines_)
            widest = QStringLiteral("0000");
        else if (label == lblMessage_)
            widest = QStringLiteral("Game Completed !");
        const int wanted = std::max(label->fontMetrics().horizontalAdvance(widest) + 2, label->sizeHint().width());
        label->resize(
            std::min(std::max(label->width(), wanted), room), std::max(label->height(), label->sizeHint().height()));
    }

    for (QWidget* child : findChildren<QWidget*>())
        child->setFocusPolicy(child == txtKey_ ? Qt::StrongFocus : Qt::NoFocus);
    txtKey_->lower();
    setFocusProxy(txtKey_);

    tmrStart_ = new QTimer(this);
    tmrStart_->setObjectName(QStringLiteral("tmrStart"));
    tmrStart_->setSingleShot(true);
    tmrStart_->setInterval(kStartDelayMs);
    connect(tmrStart_, &QTimer::timeout, this, &GameWindow::NewGameA);
}

void GameWindow::chooseFonts()
{
    HasSymbolFont_ = false;
    for (const QString& family : QFontDatabase::families()) {
        if (family.compare(QLatin1String(kSymbolFamily), Qt::CaseInsensitive) == 0)
            HasSymbolFont_ = true;
    }
    const GlyphSet& set = glyphs(HasSymbolFont_);
    QFont font(QLatin1String(set.family), set.pointSize);
    if (!HasSymbolFont_) {
        // Any monospaced font the system has will do when this one is missing.
        if (!QFontDatabase::families().contains(QLatin1String(set.family), Qt::CaseInsensitive)) {
            font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
            font.setPointSize(set.pointSize);
        }
        font.setStyleHint(QFont::Monospace);
        fitGridFont(font);
        return;
    }
    lblMatrix_->setFont(font);
    lblNext_->setFont(font);
}

// Finds the largest size up to the design size at which a full grid and a
// full next-piece box fit their labels, then spreads the columns so the
// cells come out about square.
void GameWindow::fitGridFont(QFont font)
{
    Matrix full;
    full.SetNew(Game::kWidth, Game::kHeight);
    const std::string solid = kTextGlyphs.gridSolid;
    const QString gridSample = QString::fromStdString(full.Text(solid, solid, kLineBreak)).trimmed();
    full.SetNew(Piece::kBoxSide, Piece::kBoxSide);
    const QString nextSample = QString::fromStdString(full.Text(solid, solid, kLineBreak)).trimmed();
    const auto tryFont = [&](const QFont& candidate, int spread) {
        for (QLabel* label : {lblMatrix_, lblNext_}) {
            // The spacing follows the last cell of a row too: a margin on
            // the left keeps the cells centred.
            label->setContentsMargins(spread, 0, 0, 0);
            label->setFont(candidate);
        }
        lblMatrix_->setText(gridSample);
        lblNext_->setText(nextSample);
        const bool fits = lblMatrix_->sizeHint().width() <= lblMatrix_->width()
            && lblMatrix_->sizeHint().height() <= lblMatrix_->height()
            && lblNext_->sizeHint().width() <= lblNext_->width() && lblNext_->sizeHint().height() <= lblNext_->height();
        lblMatrix_->clear();
        lblNext_->clear();
        return fits;
    };
    for (qreal size = font.pointSizeF(); size > 6; size -= 0.5) {
        font.setPointSizeF(size);
        font.setLetterSpacing(QFont::AbsoluteSpacing, 0);
        if (tryFont(font, 0))
            break;
    }
    const QFontMetrics metrics(font);
    int spread = std::min(metrics.lineSpacing(), lblMatrix_->width() / Game::kWidth)
        - metrics.horizontalAdvance(QLatin1String(kTextGlyphs.gridSolid));
    for (; spread > 0; --spread) {
        QFont spaced = font;
        spaced.setLetterSpacing(QFont::AbsoluteSpacing, spread);
        if (tryFont(spaced, spread))
            return;
    }
    tryFont(font, 0);
}

void GameWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        // Shown again after closing: the closed game gave up its timer.
        if (!myGame_->timer())
            ignoringErrors([this] { myGame_->SetNew(); });
        tmrStart_->start();
    }
    txtKey_->setFocus();
}

void GameWindow::done(int result)
{
    // Ending the game's timer lets the call that runs the game return.
    tmrStart_->stop();
    started_ = false;
    ignoringErrors([this] { myGame_->Unload(); });
    QDialog::done(result);
}

void GameWindow::NewGameA()
{
    tmrStart_->stop();
    ignoringErrors([this] { myGame_->StartAtLevel(5); });
    ignoringErrors([this] { myGame_->High(0); });
    lblMessage_->clear();
    ignoringErrors([this] { myGame_->StartGameModeA(); });
}

void GameWindow::NewGameB()
{
    tmrStart_->stop();
    ignoringErrors([this] { myGame_->StartAtLevel(7); });
    ignoringErrors([this] { myGame_->High(5); });
    lblMessage_->clear();
    ignoringErrors([this] { myGame_->StartGameModeB(); });
}

bool GameWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != txtKey_)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        // The typed character first: starting a game runs the game inside.
        keyPress(key->text());
        // A held F2 or F3 starts one game, not one for every repeat.
        const bool newGameKey = key->key() == Qt::Key_F2 || key->key() == Qt::Key_F3;
        if (!(newGameKey && key->isAutoRepeat()))
            keyDown(key->key());
        return true;
    }
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        // The system's key repeat sends a release before each repeated press:
        // only the real release ends the fast drop.
        if (key->key() == Qt::Key_Down && !key->isAutoRepeat())
            ignoringErrors([this] { myGame_->IsFastDrop(false); });
        txtKey_->clear();
        return true;
    }
    case QEvent::FocusOut:
        // A key released while the window was in the background never
        // comes: stop the fast drop with the focus.
        ignoringErrors([this] { myGame_->IsFastDrop(false); });
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void GameWindow::keyDown(int key)
{
    switch (key) {
    case Qt::Key_Escape:
        close();
        break;
    case Qt::Key_Space:
        ignoringErrors([this] { myGame_->DropPiece(); });
        break;
    case Qt::Key_Left:
        ignoringErrors([this] { myGame_->MoveCurrentPieceLeft(); });
        break;
    case Qt::Key_Up:
        ignoringErrors([this] { myGame_->RotateCurrentPieceClockwise(); });
        break;
    case Qt::Key_Right:
        ignoringErrors([this] { myGame_->MoveCurrentPieceRight(); });
        break;
    case Qt::Key_Down:
        ignoringErrors([this] { myGame_->IsFastDrop(true); });
        break;
    case Qt::Key_F2:
        NewGameA();
        break;
    case Qt::Key_F3:
        NewGameB();
        break;
    default:
        break;
    }
}

void GameWindow::keyPress(const QString& text)
{
    if (text.isEmpty())
        return;
    KeyBuffer_ += text;
    if (KeyBuffer_.size() >= kKeyBufferLimit)
        KeyBuffer_.clear();
    if (KeyBuffer_.right(kCheatWord.size()).toUpper() == kCheatWord) {
        ignoringErrors([this] { myGame_->EnableGodMode(); });
        showMessage(QStringLiteral("God Mode On"), palette().color(QPalette::ButtonText));
    }
}

void GameWindow::showMessage(const QString& text, const QColor& colour)
{
    QPalette palette = lblMessage_->palette();
    palette.setColor(QPalette::WindowText, colour);
    lblMessage_->setPalette(palette);
    lblMessage_->setText(text);
}

void GameWindow::GameStarted()
{
    lblLines_->setText(QString::number(myGame_->Lines()));
}

// A label shows the grid text without the last row's line break, which
// would add an empty line below the grid.
void GameWindow::showGrid(QLabel* label, const QString& text)
{
    label->setText(text.endsWith(QLatin1String(kLineBreak)) ? text.chopped(1) : text);
}

void GameWindow::MatrixUpdated(const Rectangle& /*UpdatedArea*/, bool NextPieceChanged)
{
    const GlyphSet& set = glyphs(HasSymbolFont_);
    if (NextPieceChanged) {
        const QString text
            = QString::fromStdString(myGame_->NextPiece().Matrix().Text(set.nextSolid, set.nextEmpty, kLineBreak));
        if (text != LastNextText_)
            showGrid(lblNext_, text);
        LastNextText_ = text;
    } else {
        const QString text = QString::fromStdString(myGame_->Matrix().Text(set.gridSolid, set.gridEmpty, kLineBreak));
        if (text != LastMatrixText_)
            showGrid(lblMatrix_, text);
        LastMatrixText_ = text;
    }
}

void GameWindow::LineCleared()
{
    lblLines_->setText(QString::number(std::max(myGame_->Lines(), 0)));
}

void GameWindow::GameOver(bool EndedByUser, bool GameCompleted)
{
    if (EndedByUser)
        return;
    if (GameCompleted)
        showMessage(myGame_->GodMode ? QStringLiteral("Cheat Completed") : QStringLiteral("Game Completed !"),
            kCompletedColour);
    else
        showMessage(myGame_->GodMode ? QStringLiteral("LOSER!") : QStringLiteral("Game Over"), kLostColour);
}

} // namespace clavora::game
