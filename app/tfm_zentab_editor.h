#pragma once
// The editor's one window: six Format groups of ten rows (model name, maximum
// LBA, size) in two bands, and the command panel along the bottom.

#include "lba_fields.h"
#include "module_state.h"

#include <QString>
#include <QWidget>

#include <array>
#include <filesystem>
#include <functional>
#include <optional>

class LbaEdit;
class NameEdit;
class QAction;
class QComboBox;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QFileDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

class TfmZentabEditor : public QWidget {
    Q_OBJECT
public:
    static constexpr int kModelTypingLimit = 24;

    // The window works on the module state it is given; the program passes
    // its one instance, tests their own.
    explicit TfmZentabEditor(zentab::Module& module, QWidget* parent = nullptr);

    // Field grid, [Format - 1][row - 1].
    NameEdit* modelField(int format, int row) const { return Mdl[format - 1][row - 1]; }
    LbaEdit* lbaField(int format, int row) const { return LBA[format - 1][row - 1]; }
    QLabel* sizeLabel(int format, int row) const { return sizeLabels[format - 1][row - 1]; }

    // Binding between the grid and the model table.
    void ClearModelFields();
    void ShowModelTable(int rows);
    void CollectModelTable(int rows);

    void FormCreate();
    void cbStdCapacityChange();
    void btLoadClick();
    // Load with a file dropped on the window in place of the open dialog's choice.
    void LoadDroppedFile(const QString& path);
    void btSaveClick();
    void btAutoClick();
    void FillFromHead(std::int64_t perHeadSize);
    void miFromHead1Click();
    void miFromHead2Click();
    void miFromHead3Click();
    void miFromHead4Click();
    void miFromHead5Click();
    void miFromHead6Click();
    void miFromHead7Click();
    void miFromHead8Click();
    void miFromHead9Click();
    void miFromHead10Click();
    void LBA11KeyPress(QChar key);
    void LBA11ButtonClick();

#define ZENTAB_DECLARE_CHANGE(f, r) void LBA##f##r##Change();
    ZENTAB_FOR_EACH_LBA_FIELD(ZENTAB_DECLARE_CHANGE)
#undef ZENTAB_DECLARE_CHANGE

    // The settings file: beside the executable, else in the user's and then
    // the system's configuration folders; the first one that exists wins.
    static std::filesystem::path settingsPath();

    // The file dialogs, made at their first use: a file dialog lists its
    // folder when it is made, and start-up must not wait for that.
    QFileDialog* openDialog();
    QFileDialog* saveDialog();

protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Load's steps with the file from the given source (the dialog or a drop).
    void runLoad(const std::function<std::optional<QString>()>& chooseFile);
    void copyCapacityValue();
    void buildLayout();
    void describeControls();
    void buildCommandPanel();
    QGroupBox* buildFormatGroup(QWidget* band, int format, int x, const char* name, const char* caption,
                                bool headCaption);
    void buildTabOrder();
    void connectHandlers();
    void fromHead(int row);
    void refreshSizeLabel(int format, int row);
    void setFieldState(QLineEdit* field, bool active);
    void setFieldText(QLineEdit* field, const QString& text);

    zentab::Module& module_;
    // True only while the image holds a module that Load read completely and
    // that passed the block check: Save writes nothing otherwise.
    bool moduleReady_ = false;
    // Set while Save runs; the checksum lets events run, and no command that
    // changes the image may start inside it.
    bool saving_ = false;
    bool centred_ = false;
    // Set while a change of the box's text copies its value, until the event
    // loop turns: a pick that changed the text has then been copied already.
    bool textJustCopied_ = false;
    QString lastOpenPath_;

public:
    QFrame* Panel1 = nullptr;
    QFrame* Panel2 = nullptr;
    QFrame* Panel3 = nullptr;
    QFrame* Panel5 = nullptr;
    std::array<QGroupBox*, zentab::kFormats> groupBoxes{};
    NameEdit* edModel = nullptr;
    QLineEdit* edDivider = nullptr;
    QLineEdit* edAligned = nullptr;
    QPushButton* btAuto = nullptr;
    QComboBox* cbStdCapacity = nullptr;
    QLabel* laFormat = nullptr;
    QPushButton* btLoad = nullptr;
    QPushButton* btSave = nullptr;
    QMenu* pmFromHeads = nullptr;
    std::array<QAction*, zentab::kShownRows> miFromHead{};
    QFileDialog* OpenDialog1 = nullptr;
    QFileDialog* SaveDialog1 = nullptr;

private:
    std::array<std::array<NameEdit*, zentab::kShownRows>, zentab::kFormats> Mdl{};
    std::array<std::array<LbaEdit*, zentab::kShownRows>, zentab::kFormats> LBA{};
    std::array<std::array<QLabel*, zentab::kShownRows>, zentab::kFormats> sizeLabels{};
};

// The program's one window, set before its controls are created.
extern TfmZentabEditor* fmZentabEditor;

// The window caption before any module is loaded.
QString EditorTitle();
