#pragma once
#include <QDialog>

class QRadioButton;

namespace clavora {
class Platform;
}

namespace clavora::lang {

// The language dialog: the user picks English, Portuguese, Spanish or
// automatic detection from the regional settings. OK, or a double click on
// an option, stores the choice in the language it was given and accepts;
// Cancel rejects and changes nothing.
class LanguageDialog : public QDialog {
    Q_OBJECT
public:
    LanguageDialog(int& currentLanguage, Platform& platform, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void confirm();
    void applyCaptions();

    int& m_currentLanguage;
    Platform& m_platform;
    QRadioButton* m_automatic;
    QRadioButton* m_english;
    QRadioButton* m_portuguese;
    QRadioButton* m_spanish;
};

} // namespace clavora::lang
