#include "editor_harness.h"

#include "lba_edit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QFileInfo>
#include <QTest>

using zentab::testkit::ReadFileBytes;
using zentab::testkit::WriteFileBytes;

std::vector<std::uint8_t> ModuleBytes(const zentab::testkit::ModuleBuilder& builder) { return builder.build().bytes; }

QString Field(const char* kind, int format, int row) { return QStringLiteral("%1%2%3").arg(kind).arg(format).arg(row); }

QString SizeLabelName(int format, int row)
{
    if (format == 1)
        return QStringLiteral("la%1").arg(10 + row);
    if (format == 4)
        return QStringLiteral("la%1").arg(20 + row);
    const int digit = format == 2 ? 1 : format == 3 ? 2 : format == 5 ? 3 : 4;
    return QStringLiteral("la%1%2").arg(20 + row).arg(digit);
}


EditorHarness::EditorHarness() : window_(std::make_unique<TfmZentabEditor>(module_))
{
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    watcher_.setInterval(5);
    connect(&watcher_, &QTimer::timeout, this, &EditorHarness::onTick);
    watcher_.start();
}

EditorHarness::~EditorHarness() { watcher_.stop(); }

QString EditorHarness::writeModule(const QString& name, const std::vector<std::uint8_t>& bytes) const
{
    WriteFileBytes(path(name).toStdString(), bytes);
    return path(name);
}

std::vector<std::uint8_t> EditorHarness::readFile(const QString& name) const
{
    return ReadFileBytes(path(name).toStdString());
}

void EditorHarness::load(const QString& file)
{
    fileAnswers_.push_back(file);
    click("btLoad");
}

void EditorHarness::save(const QString& file)
{
    fileAnswers_.push_back(file);
    click("btSave");
}

void EditorHarness::click(const char* buttonName)
{
    auto* button = find<QPushButton>(QString::fromLatin1(buttonName));
    QVERIFY2(button, buttonName);
    QTest::mouseClick(button, Qt::LeftButton);
}

QLineEdit* EditorHarness::field(const QString& name) const { return find<QLineEdit>(name); }

QString EditorHarness::text(const QString& name) const
{
    QLineEdit* edit = field(name);
    return edit ? edit->text() : QStringLiteral("<no field %1>").arg(name);
}

QString EditorHarness::labelText(const QString& name) const
{
    auto* label = find<QLabel>(name);
    return label ? label->text() : QStringLiteral("<no label %1>").arg(name);
}

void EditorHarness::type(const QString& name, const QString& keys)
{
    QLineEdit* edit = field(name);
    QVERIFY(edit);
    edit->setFocus();
    QTest::keyClicks(edit, keys);
}

void EditorHarness::pressEnter(const QString& name)
{
    QLineEdit* edit = field(name);
    QVERIFY(edit);
    QTest::keyClick(edit, Qt::Key_Return);
}

QStringList EditorHarness::takeBoxes()
{
    QStringList boxes;
    boxes.swap(boxes_);
    return boxes;
}

void EditorHarness::onTick()
{
    QWidget* modal = QApplication::activeModalWidget();
    static const char kAnswered[] = "harnessAnswered";
    if (!modal)
        return;
    if (modal->property(kAnswered).toBool()) {
        // An answer the dialog did not take (a name it refused, say) must
        // fail the test, not hang it.
        if (answeredAt_.elapsed() > 3000) {
            unexpected_ << QStringLiteral("%1 stayed open").arg(modal->objectName());
            answeredAt_.restart();
            if (auto* stuck = qobject_cast<QDialog*>(modal))
                QMetaObject::invokeMethod(stuck, &QDialog::reject, Qt::QueuedConnection);
            else
                modal->close();
        }
        return;
    }
    answeredAt_.restart();
    // Dialogs are reused between runs (the window's file dialogs) and boxes
    // may reuse an address: mark this showing as answered until it closes.
    modal->setProperty(kAnswered, true);
    if (auto* asDialog = qobject_cast<QDialog*>(modal)) {
        connect(asDialog, &QDialog::finished, asDialog, [asDialog] { asDialog->setProperty(kAnswered, false); },
                Qt::SingleShotConnection);
    }
    // Answer from the event loop, not from inside this timer's slot, so that
    // a box the answer opens in turn is seen by the next tick.
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        boxes_ << box->text();
        if (box->icon() == QMessageBox::Critical)
            ++errorBoxes_;
        QAbstractButton* yes = box->button(QMessageBox::Yes);
        QAbstractButton* ok = box->button(QMessageBox::Ok);
        QAbstractButton* press = yes ? yes : ok ? ok : box->buttons().value(0);
        QMetaObject::invokeMethod(press, &QAbstractButton::click, Qt::QueuedConnection);
        return;
    }
    if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
        if (fileAnswers_.empty()) {
            unexpected_ << QStringLiteral("file dialog %1").arg(dialog->objectName());
            QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
            return;
        }
        const QString answer = fileAnswers_.front();
        fileAnswers_.pop_front();
        QMetaObject::invokeMethod(
            dialog,
            [dialog, answer] {
                if (answer.isEmpty()) {
                    dialog->reject();
                } else {
                    // What typing the name and pressing Open or Save does.
                    dialog->setDirectory(QFileInfo(answer).absolutePath());
                    if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                        name->setText(answer);
                    QMetaObject::invokeMethod(dialog, "accept");
                }
            },
            Qt::QueuedConnection);
        return;
    }
    unexpected_ << QStringLiteral("modal %1").arg(QString::fromLatin1(modal->metaObject()->className()));
    modal->close();
}
