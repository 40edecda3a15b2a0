#include "qt_editor_view.h"

#include "editor_texts.h"
#include "file_paths.h"
#include "message_boxes.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSignalBlocker>
#include <QStandardPaths>

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

void SetFieldState(QWidget* field, bool active)
{
    field->setEnabled(active);
    QPalette palette = field->palette();
    const QPalette::ColorRole role = active ? QPalette::Base : QPalette::Button;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, QGuiApplication::palette().color(group, role));
    field->setPalette(palette);
}

void QtEditorView::add(QWidget* widget, QAction* action)
{
    widgets_.push_back(widget);
    actions_.push_back(action);
}

std::string QtEditorView::text(zentab::editor::ControlId control) const
{
    QWidget* w = widget(control);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text().toStdString();
    if (auto* combo = qobject_cast<QComboBox*>(w))
        return combo->currentText().toStdString();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text().toStdString();
    return {};
}

void QtEditorView::setText(zentab::editor::ControlId control, const std::string& text)
{
    QWidget* w = widget(control);
    // QLineEdit raises textChanged only for a real change, and before
    // setText returns: the size labels rely on both.
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(Text(text));
    else if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(Text(text));
}

void QtEditorView::setFieldActive(zentab::editor::ControlId control, bool active)
{
    SetFieldState(widget(control), active);
}

void QtEditorView::setEnabled(zentab::editor::ControlId control, bool enabled) { widget(control)->setEnabled(enabled); }

void QtEditorView::setDescription(zentab::editor::ControlId control, const std::string& text)
{
    widget(control)->setAccessibleDescription(Text(text));
}

void QtEditorView::setCaption(const std::string& caption) { window_.setWindowTitle(Text(caption)); }

void QtEditorView::setListItems(zentab::editor::ControlId control, const std::vector<std::string>& items)
{
    auto* combo = qobject_cast<QComboBox*>(widget(control));
    // Filling the list must leave the prompt text and raise no change.
    const QSignalBlocker blocker(combo);
    const QString prompt = combo->currentText();
    combo->clear();
    for (const std::string& item : items)
        combo->addItem(Text(item));
    combo->setCurrentIndex(-1);
    combo->setEditText(prompt);
    combo->lineEdit()->setCursorPosition(0);
}

void QtEditorView::showMessage(const std::string& text) { ShowMessage(Text(text)); }

void QtEditorView::showError(const std::string& text) { ShowError(Text(text)); }

void QtEditorView::setClipboardText(const std::string& text) { QGuiApplication::clipboard()->setText(Text(text)); }

void QtEditorView::processPendingEvents() { QCoreApplication::processEvents(); }

std::string QtEditorView::decimalSeparator() const
{
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? std::string(".") : point.toStdString();
}

std::vector<std::filesystem::path> QtEditorView::settingsCandidates() const
{
    // Beside the executable first, so a copied folder keeps its own list;
    // an installed program finds the user's file, then the system's example.
    const QString name = QString::fromLatin1(zentab::editor::kSettingsFileName);
    std::vector<std::filesystem::path> candidates = {
        ToFilePath(QDir(QCoreApplication::applicationDirPath()).filePath(name))};
    for (const QString& folder : QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation))
        candidates.push_back(ToFilePath(QDir(QDir(folder).filePath(QString::fromLatin1(zentab::editor::kSettingsFolderName))).filePath(name)));
    return candidates;
}
