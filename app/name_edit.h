#pragma once
// Single-line edit whose typing stops at a character limit, while a longer
// text set by the program is shown and returned whole (QLineEdit's maxLength
// would cut it, and a name must reach the module as the table holds it).

#include <QLineEdit>

class NameEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit NameEdit(int typingLimit, QWidget* parent = nullptr);

    int typingLimit() const { return limit_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Characters that may still be inserted in place of the selection.
    int room() const;
    void pasteLimited();

    int limit_;
};
