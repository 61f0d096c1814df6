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

protected:
    void showEvent(QShowEvent* event) override;

private:
    void applyTexts(int language);
    // As large as the pages ask, where the screen has the room (a window
    // is otherwise kept to two thirds of it); on a smaller screen the pages
    // scroll.
    void fitToScreen(QScrollArea& scroll);

    std::array<QPushButton*, 4> m_pageButtons {};
    std::array<QWidget*, 4> m_panels {};
    QStackedLayout* m_stack = nullptr;
};

} // namespace clavora::lang
