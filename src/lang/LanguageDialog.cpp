#include "LanguageDialog.h"

#include "AreaWords.h"
#include "Captions.h"
#include "LanguageDetection.h"
#include "WindowCaptions.h"
#include "widgets/DialogParts.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace clavora::lang {

namespace {

QRadioButton* makeOption(const char* name, QWidget* parent)
{
    auto* option = new QRadioButton(parent);
    option->setObjectName(QLatin1String(name));
    return option;
}

} // namespace

LanguageDialog::LanguageDialog(int& currentLanguage, Platform& platform, QWidget* parent)
    : QDialog(parent)
    , m_currentLanguage(currentLanguage)
    , m_platform(platform)
{
    setObjectName(QStringLiteral("frmLanguage"));
    setModal(true);

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("LanguageSelect"));
    m_automatic = makeOption("Automatic", frame);
    m_english = makeOption("English", frame);
    m_portuguese = makeOption("Portuguese", frame);
    m_spanish = makeOption("Spanish", frame);
    auto* options = new QVBoxLayout(frame);
    for (QRadioButton* option : {m_automatic, m_english, m_portuguese, m_spanish}) {
        options->addWidget(option);
        option->installEventFilter(this);
    }

    const auto [ok, cancel] = widgets::makeDialogButtons(this, "OK", "Cancel", &LanguageDialog::confirm);
    ok->setText(QStringLiteral("OK"));
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* note = new QLabel(this);
    note->setObjectName(QStringLiteral("Note"));
    note->setWordWrap(true);
    note->setTextFormat(Qt::PlainText);

    auto* top = new QHBoxLayout;
    top->addWidget(frame, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(line);
    layout->addWidget(note);

    switch (m_currentLanguage) {
    case English:
        m_english->setChecked(true);
        break;
    case Portuguese:
        m_portuguese->setChecked(true);
        break;
    case Spanish:
        m_spanish->setChecked(true);
        break;
    default:
        break;
    }
    applyCaptions();
}

void LanguageDialog::applyCaptions()
{
    applyWindowCaptions(*this, languageDialogCaptions(), m_currentLanguage);
}

void LanguageDialog::confirm()
{
    if (m_automatic->isChecked())
        m_currentLanguage = detectLanguage(m_platform);
    else if (m_english->isChecked())
        m_currentLanguage = English;
    else if (m_portuguese->isChecked())
        m_currentLanguage = Portuguese;
    else if (m_spanish->isChecked())
        m_currentLanguage = Spanish;
    accept();
}

bool LanguageDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (auto* option = qobject_cast<QRadioButton*>(watched)) {
            option->setChecked(true);
            confirm();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace clavora::lang
