#pragma once
// The editor's one window in Qt: widgets built from the shared window
// description, the session's view over them, and events forwarded to the
// session. No rule of the module lives here.

#include "editor_session.h"
#include "qt_editor_view.h"
#include "lba_fields.h"
#include "module_state.h"

#include <QFont>
#include <QString>
#include <QWidget>

#include <array>
#include <filesystem>
#include <vector>

class LbaEdit;
class NameEdit;
class QAction;
class QCloseEvent;
class QComboBox;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QFileDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

class TfmZentabEditor : public QWidget {
    Q_OBJECT
public:
    static constexpr int kModelTypingLimit = zentab::editor::kModelTypingLimit;

    // The window works on the module state it is given; the program passes
    // its one instance, tests their own.
    explicit TfmZentabEditor(zentab::Module& module, QWidget* parent = nullptr);

    zentab::editor::EditorSession& session() { return session_; }
    // The widget built for a control of the description; nullptr for menus.
    QWidget* widget(zentab::editor::ControlId id) const { return view_.widget(id); }

    // The program's arguments, taken up once the event loop runs, so that a
    // module given on the command line loads into a window already shown.
    void openWhenShown(std::vector<std::filesystem::path> arguments);

    // Field grid by Format and row.
    NameEdit* modelField(int format, int row) const;
    LbaEdit* lbaField(int format, int row) const;
    QLabel* sizeLabel(int format, int row) const;

    void ClearModelFields() { session_.ClearModelFields(); }
    void ShowModelTable(int rows) { session_.ShowModelTable(rows); }

    // Handlers: each forwards its event to the session.
    void btLoadClick() { session_.btLoadClick(); }
    void btSaveClick();
    void btAutoClick() { session_.btAutoClick(); }
    void cbStdCapacityChange();
    void miFromHead1Click() { session_.miFromHeadClick(1); }
    void miFromHead2Click() { session_.miFromHeadClick(2); }
    void miFromHead3Click() { session_.miFromHeadClick(3); }
    void miFromHead4Click() { session_.miFromHeadClick(4); }
    void miFromHead5Click() { session_.miFromHeadClick(5); }
    void miFromHead6Click() { session_.miFromHeadClick(6); }
    void miFromHead7Click() { session_.miFromHeadClick(7); }
    void miFromHead8Click() { session_.miFromHeadClick(8); }
    void miFromHead9Click() { session_.miFromHeadClick(9); }
    void miFromHead10Click() { session_.miFromHeadClick(10); }
    void LBA11KeyPress(QChar key);
    void LBA11ButtonClick();

#define ZENTAB_DECLARE_CHANGE(f, r) \
    void LBA##f##r##Change() { session_.LBAChange(f, r); }
    ZENTAB_FOR_EACH_LBA_FIELD(ZENTAB_DECLARE_CHANGE)
#undef ZENTAB_DECLARE_CHANGE

    // The file dialogs, made at their first use: a file dialog lists its
    // folder when it is made, and start-up must not wait for that.
    QFileDialog* openDialog();
    QFileDialog* saveDialog();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildControls();
    QWidget* buildControl(zentab::editor::ControlId id);
    void connectHandlers();

    QtEditorView view_;
    QFont sizeFont_;  // of the size labels, chosen so that every size text fits
    zentab::editor::EditorSession session_;
    bool centred_ = false;
    // A close asked for while Save ran: the window closes once Save is done.
    bool closePending_ = false;
    // Set while a change of the box's text copies its value, until the event
    // loop turns: a pick that changed the text has then been copied already.
    bool textJustCopied_ = false;

public:
    QWidget* Panel1 = nullptr;
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
};

// The program's one window, set before its controls are created.
extern TfmZentabEditor* fmZentabEditor;
