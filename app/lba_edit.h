#pragma once
// Edit field with a small ellipsis button inside its right end. Alt+Down in
// the field presses the button; every typed character is reported before
// the field handles it.

#include <QLineEdit>

class QToolButton;

class LbaEdit : public QLineEdit {
    Q_OBJECT
public:
    static constexpr int kButtonWidth = 26;

    explicit LbaEdit(QWidget* parent = nullptr);

    QToolButton* button() const { return button_; }

signals:
    void buttonClicked();
    void keyPressed(QChar key);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* button_;
};
