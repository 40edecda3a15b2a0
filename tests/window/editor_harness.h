#pragma once
// Drives the real editor window by object name, offscreen. Modal dialogs and
// message boxes are answered from a timer: file dialogs by the answers a test
// queued, message boxes by pressing their accepting button after recording
// their text. A modal nobody expected is closed and recorded, so a test can
// fail on it instead of hanging.

#include "module_builder.h"
#include "tfm_zentab_editor.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <deque>
#include <memory>

class EditorHarness : public QObject {
    Q_OBJECT
public:
    EditorHarness();
    ~EditorHarness() override;

    TfmZentabEditor& window() { return *window_; }
    zentab::Module& module() { return module_; }

    QString path(const QString& name) const { return dir_.filePath(name); }
    QString writeModule(const QString& name, const std::vector<std::uint8_t>& bytes) const;
    std::vector<std::uint8_t> readFile(const QString& name) const;

    // Presses Load and answers its dialog with the file (or cancels when empty).
    void load(const QString& file);
    // Presses Save and answers its dialog with the file (or cancels when empty).
    void save(const QString& file);
    void click(const char* buttonName);
    // Queues the answer for the next file dialog, shown by any other way.
    void answer(const QString& file) { fileAnswers_.push_back(file); }

    template <typename T = QWidget>
    T* find(const QString& name) const
    {
        return window_->findChild<T*>(name);
    }
    QLineEdit* field(const QString& name) const;
    QString text(const QString& name) const;
    QString labelText(const QString& name) const;
    // Types into a field as the keyboard would, one key event per character.
    void type(const QString& name, const QString& keys);
    void pressEnter(const QString& name);

    // Texts of the message boxes shown since the last call.
    QStringList takeBoxes();
    QStringList unexpected() const { return unexpected_; }
    int errorBoxes() const { return errorBoxes_; }

private:
    void onTick();

    zentab::Module module_;
    std::unique_ptr<TfmZentabEditor> window_;
    QTemporaryDir dir_;
    QTimer watcher_;
    std::deque<QString> fileAnswers_;  // empty string: cancel
    QStringList boxes_;
    QStringList unexpected_;
    int errorBoxes_ = 0;
    QElapsedTimer answeredAt_;
};

std::vector<std::uint8_t> ModuleBytes(const zentab::testkit::ModuleBuilder& builder);

// Object names of the grid, written out independently of the window's code:
// "Mdl" or "LBA" with Format and row, and the size labels' irregular names.
QString Field(const char* kind, int format, int row);
QString SizeLabelName(int format, int row);
