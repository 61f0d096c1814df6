#include "WindowCaptions.h"

#include "AreaWords.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>

namespace clavora::lang {

namespace {

int shownLanguage(int language)
{
    return (language >= English && language <= kLanguageCount) ? language : int {English};
}

} // namespace

void applyWindowCaptions(QWidget& window, std::span<const CaptionEntry> table, int language, WindowTitle title)
{
    for (const CaptionEntry& entry : table) {
        const QString text = captionText(entry, shownLanguage(language));
        if (text.isNull())
            continue;
        const QString name
            = QString::fromUtf8(entry.objectName.data(), static_cast<qsizetype>(entry.objectName.size()));
        if (name == window.objectName()) {
            if (title == WindowTitle::Set)
                window.setWindowTitle(text);
        } else if (auto* label = window.findChild<QLabel*>(name)) {
            label->setText(text);
        } else if (auto* button = window.findChild<QAbstractButton*>(name)) {
            button->setText(text);
        } else if (auto* frame = window.findChild<QGroupBox*>(name)) {
            frame->setTitle(text);
        } else if (auto* menu = window.findChild<QMenu*>(name)) {
            menu->setTitle(text);
        } else if (auto* action = window.findChild<QAction*>(name)) {
            action->setText(text);
        }
    }
}

QString windowCaption(std::span<const CaptionEntry> table, int language, std::string_view objectName)
{
    return caption(table, shownLanguage(language), objectName);
}

} // namespace clavora::lang
