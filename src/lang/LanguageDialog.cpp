#include "LanguageDialog.h"

#include "AreaWords.h"
#include "Captions.h"
#include "LanguageDetection.h"

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

QPushButton* makeButton(const char* name, QWidget* parent)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    return button;
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

    auto* ok = makeButton("OK", this);
    ok->setText(QStringLiteral("OK"));
    ok->setDefault(true);
    auto* cancel = makeButton("Cancel", this);
    connect(ok, &QPushButton::clicked, this, &LanguageDialog::confirm);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
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
    // Outside the three languages the dialog keeps its English design texts.
    const int language
        = (m_currentLanguage >= English && m_currentLanguage <= kLanguageCount) ? m_currentLanguage : int {English};
    for (const CaptionEntry& entry : languageDialogCaptions()) {
        const QString text = captionText(entry, language);
        const QString name
            = QString::fromLatin1(entry.objectName.data(), static_cast<qsizetype>(entry.objectName.size()));
        if (name == objectName()) {
            setWindowTitle(text);
        } else if (auto* button = findChild<QAbstractButton*>(name)) {
            button->setText(text);
        } else if (auto* frame = findChild<QGroupBox*>(name)) {
            frame->setTitle(text);
        } else if (auto* label = findChild<QLabel*>(name)) {
            label->setText(text);
        }
    }
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
