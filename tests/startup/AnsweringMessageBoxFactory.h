#pragma once

#include "RecordingMessageBoxFactory.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QMap>
#include <QPushButton>
#include <QTimer>

// The recording factory, extended to the boxes that callers take from the
// factory and run with their own exec(): as such a box is shown, the next
// answer is applied inside its modal loop. Every box, however it runs, is
// recorded in one list and answered from one list, in order. Also records
// each box's check-box text and default button text (empty when none).
class AnsweringMessageBoxFactory : public QObject, public RecordingMessageBoxFactory
{
public:
    QStringList checkBoxTexts;
    QStringList defaultButtons;

    AnsweringMessageBoxFactory() { qApp->installEventFilter(this); }

    // "yes", "no", "cancel", "ok": press that button; "close": close the box
    // as its window frame would; "reject": end it without any button (Esc on
    // a box without an escape button); a leading "tick " ticks the check box first.
    static Answer answer(const QString &name)
    {
        if (name.startsWith(QLatin1String("tick ")))
            return tickThen(answer(name.mid(5)));
        if (name == QLatin1String("close"))
            return closeWindow();
        if (name == QLatin1String("reject"))
            return [](QDialog &dialog) { dialog.reject(); };
        static const QMap<QString, QMessageBox::StandardButton> buttons{
            { "yes", QMessageBox::Yes }, { "no", QMessageBox::No }, { "cancel", QMessageBox::Cancel },
            { "ok", QMessageBox::Ok } };
        if (!buttons.contains(name))
            qFatal("Unknown answer in the test table: %s", qPrintable(name));
        return press(buttons.value(name));
    }

    void answerWith(const QStringList &names)
    {
        answers.clear();
        for (const QString &name : names)
            answers.append(answer(name));
    }
    ~AnsweringMessageBoxFactory() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *box = qobject_cast<QMessageBox *>(watched);
        if (event->type() != QEvent::Show || !box || box->property(answeredProperty).toBool())
            return false;
        box->setProperty(answeredProperty, true);
        // Answered once exec() runs its loop: finishing the box inside its
        // show() would leave exec() waiting for ever.
        QTimer::singleShot(0, box, [this, box] { runModal(*box); });
        return false;
    }

protected:
    int runModal(QDialog &dialog) override
    {
        auto *box = qobject_cast<QMessageBox *>(&dialog);
        checkBoxTexts.append(box && box->checkBox() ? box->checkBox()->text() : QString());
        defaultButtons.append(box && box->defaultButton() ? box->defaultButton()->text() : QString());
        return RecordingMessageBoxFactory::runModal(dialog);
    }

private:
    static constexpr const char *answeredProperty = "answeredByTest";
};
