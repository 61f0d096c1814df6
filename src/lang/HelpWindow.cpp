#include "HelpWindow.h"

#include "AreaWords.h"
#include "Captions.h"
#include "HelpPages.h"
#include "WindowCaptions.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QStackedLayout>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace clavora::lang {

namespace {

QString nameOf(std::string_view name)
{
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

QLabel* makeLabel(std::string_view name, std::string_view text, QWidget* parent)
{
    auto* label = new QLabel(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), parent);
    label->setObjectName(nameOf(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}

// A page's panel; its key labels are appended to keyLabels.
QWidget* makePanel(const HelpPage& page, QWidget* parent, QList<QLabel*>& keyLabels)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(nameOf(page.panel));
    auto* groups = new QVBoxLayout(panel);
    groups->setContentsMargins(0, 0, 0, 0);
    for (const HelpGroup& group : page.groups) {
        auto* frame = new QGroupBox(panel);
        frame->setObjectName(nameOf(group.frame));
        auto* rows = new QGridLayout(frame);
        rows->setHorizontalSpacing(16);
        rows->setColumnStretch(1, 1);
        int row = 0;
        for (const HelpRow& entry : group.rows) {
            QLabel* keys = makeLabel(entry.keyLabel, entry.keyText, frame);
            QFont bold = keys->font();
            bold.setBold(true);
            keys->setFont(bold);
            rows->addWidget(keys, row, 0);
            keyLabels.append(keys);
            rows->addWidget(makeLabel(entry.description, {}, frame), row, 1);
            ++row;
        }
        groups->addWidget(frame);
    }
    groups->addStretch();
    return panel;
}

} // namespace

HelpWindow::HelpWindow(int language, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmHelp"));
    setModal(true);

    QList<QLabel*> keyLabels;
    auto* buttonRow = new QHBoxLayout;
    m_scroll = new QScrollArea(this);
    auto* scroll = m_scroll;
    scroll->setObjectName(QStringLiteral("PageScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    auto* stackHolder = new QWidget(scroll);
    m_stack = new QStackedLayout(stackHolder);
    const auto pages = helpPages();
    for (std::size_t i = 0; i < pages.size() && i < m_pageButtons.size(); ++i) {
        auto* button = new QPushButton(this);
        button->setObjectName(nameOf(pages[i].button));
        button->setAutoDefault(false);
        const int page = static_cast<int>(i);
        connect(button, &QPushButton::clicked, this, [this, page] { showPage(page); });
        buttonRow->addWidget(button);
        m_pageButtons[i] = button;

        m_panels[i] = makePanel(pages[i], stackHolder, keyLabels);
        m_stack->addWidget(m_panels[i]);
    }
    buttonRow->addStretch();

    auto* note = makeLabel("Note", {}, this);
    note->setWordWrap(true);
    auto* noteKeys = makeLabel("NoteKeys", {}, this);
    noteKeys->setWordWrap(true);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* notes = new QVBoxLayout;
    notes->addWidget(note);
    notes->addWidget(noteKeys);
    auto* bottom = new QHBoxLayout;
    bottom->addLayout(notes, 1);
    bottom->addWidget(ok, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttonRow);
    scroll->setWidget(stackHolder);
    layout->addWidget(scroll, 1);
    layout->addLayout(bottom);

    showPage(NotesPage);
    applyTexts(language);

    // One width for the key column of every group, so the descriptions line up.
    int keyWidth = 0;
    for (const QLabel* keys : keyLabels)
        keyWidth = std::max(keyWidth, keys->sizeHint().width());
    for (QLabel* keys : keyLabels)
        keys->setMinimumWidth(keyWidth);
    // Room for the window manager's frame around the window.
    constexpr int kFrameRoom = 48;
    fitInto(screen()->availableSize() - QSize(kFrameRoom, kFrameRoom));
}

void HelpWindow::fitInto(QSize room)
{
    QScrollArea& scroll = *m_scroll;
    // The window's size with the pages shown at `size`, the wrapped notes
    // below them at the height they need at that width.
    const auto windowFor = [this, &scroll](QSize size) {
        scroll.setFixedSize(size);
        layout()->activate();
        const int width = layout()->minimumSize().width();
        return QSize(width, std::max(layout()->minimumSize().height(), layout()->totalHeightForWidth(width)));
    };
    const QSize pages = scroll.widget()->sizeHint();
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &scroll);
    QSize shown = pages;
    QSize window = windowFor(shown);
    // Too large for the room: the pages scroll, the page buttons and OK
    // stay in sight. Narrower pages let the notes wrap into more lines, so
    // the height is looked at again.
    for (int pass = 0; pass < 2 && (window.width() > room.width() || window.height() > room.height()); ++pass) {
        const QSize over = (window - room).expandedTo(QSize(0, 0));
        if (over.width() > 0)
            shown.rwidth() -= over.width();
        if (over.height() > 0)
            shown.rheight() -= over.height();
        // Cut in height only: the pages get the vertical scroll bar's width
        // back where the room has it, and otherwise scroll both ways.
        if (shown.height() < pages.height() && shown.width() == pages.width()
            && windowFor(shown + QSize(bar, 0)).width() <= room.width())
            shown.rwidth() += bar;
        shown = shown.expandedTo(QSize(4 * bar, 4 * bar));
        window = windowFor(shown);
    }
    scroll.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(window);
}

void HelpWindow::applyTexts(int language)
{
    applyWindowCaptions(*this, helpWindowCaptions(), language);
}

void HelpWindow::showPage(int page)
{
    if (page < 0 || page >= static_cast<int>(m_panels.size()))
        return;
    for (std::size_t i = 0; i < m_pageButtons.size(); ++i) {
        QFont font = m_pageButtons[i]->font();
        font.setBold(static_cast<int>(i) == page);
        m_pageButtons[i]->setFont(font);
    }
    m_stack->setCurrentWidget(m_panels[static_cast<std::size_t>(page)]);
}

int HelpWindow::currentPage() const
{
    return m_stack->currentIndex();
}

void HelpWindow::showEvent(QShowEvent* event)
{
    // Each opening starts on the notes page; restoring a minimised window
    // keeps the page the user was reading.
    if (!event->spontaneous())
        showPage(NotesPage);
    QDialog::showEvent(event);
}

} // namespace clavora::lang
