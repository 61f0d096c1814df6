#pragma once
#include <QDialog>

#include <array>

class QPushButton;
class QScrollArea;
class QStackedLayout;
class QWidget;

namespace clavora::lang {

// The help window: every keyboard command on four pages (notes, chords,
// chord types, drums), in the language it was given. It opens on the notes
// page every time it is shown and changes nothing; OK closes it.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    enum Page : int { NotesPage = 0, ChordsPage = 1, ChordTypesPage = 2, DrumsPage = 3 };

    explicit HelpWindow(int language, QWidget* parent = nullptr);

    // Makes a page visible and its button bold, the others hidden and normal.
    void showPage(int page);
    int currentPage() const;

    // Sizes the window for `room`, the screen's room less the window
    // manager's frame: as large as the pages ask where it has the room; the
    // pages scroll where it has not, the page buttons and OK stay in sight.
    void fitInto(QSize room);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void applyTexts(int language);

    std::array<QPushButton*, 4> m_pageButtons {};
    std::array<QWidget*, 4> m_panels {};
    QStackedLayout* m_stack = nullptr;
    QScrollArea* m_scroll = nullptr;
};

} // namespace clavora::lang
