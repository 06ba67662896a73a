#include "GuiCommands.h"

#include "EventLog.h"

#include "gui/OrvalVPNRunnable.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>

GuiCommands::GuiCommands(const EventLog &log, OrvalVPNRunnable &runnable)
    : m_log(log)
    , m_runnable(runnable)
{
    connect(&m_input, &StdinLines::line, this, &GuiCommands::onLine);
    // After the commands read before the end.
    connect(&m_input, &StdinLines::ended, this, [this] { QTimer::singleShot(0, this, &GuiCommands::quit); });
    qApp->installEventFilter(this);
}

bool GuiCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_windowShown && event->type() == QEvent::Show && qobject_cast<QMainWindow *>(watched)) {
        m_windowShown = true;
        m_log.print(QStringLiteral("window-shown"));
    }
    return QObject::eventFilter(watched, event);
}

void GuiCommands::onLine(const QString &line)
{
    // Run from the event loop: a command that opens a modal box then leaves
    // the next one (its answer) to that box's own loop.
    QTimer::singleShot(0, this, [this, line] { execute(line); });
}

void GuiCommands::execute(const QString &line)
{
    const QString command = line.section(QLatin1Char(' '), 0, 0);
    const QString name = line.section(QLatin1Char(' '), 1, 1);
    if (command.isEmpty())
        return;
    if (command == QLatin1String("click"))
        click(name);
    else if (command == QLatin1String("type"))
        type(name, line.section(QLatin1Char(' '), 2));
    else if (command == QLatin1String("choose"))
        choose(name, line.section(QLatin1Char(' '), 2));
    else if (command == QLatin1String("read"))
        read(name);
    else if (command == QLatin1String("shot") || command == QLatin1String("screen"))
        shot(line.section(QLatin1Char(' '), 1), command == QLatin1String("screen"));
    else if (command == QLatin1String("answer"))
        answer(line.section(QLatin1Char(' '), 1));
    else if (command == QLatin1String("box"))
        describeBox();
    else if (command == QLatin1String("quit"))
        quit();
    else
        fail(QStringLiteral("Unknown command"), line);
}

void GuiCommands::click(const QString &name)
{
    QObject *const target = find(name);
    if (auto *action = qobject_cast<QAction *>(target)) {
        action->trigger();
    } else if (auto *button = qobject_cast<QAbstractButton *>(target)) {
        // As for a user: a button that is not offered cannot be pressed.
        if (!button->isVisible())
            return fail(QStringLiteral("Not shown"), name);
        if (!button->isEnabled())
            return fail(QStringLiteral("Disabled"), name);
        button->click();
    } else if (auto *widget = qobject_cast<QWidget *>(target)) {
        QTest::mouseClick(widget, Qt::LeftButton);
    } else {
        fail(QStringLiteral("No such object"), name);
    }
}

void GuiCommands::answer(const QString &buttonText)
{
    auto *const box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box)
        return fail(QStringLiteral("No question"), buttonText);
    for (QAbstractButton *button : box->buttons()) {
        if (button->text().remove(QLatin1Char('&')) == buttonText) {
            m_log.print(QStringLiteral("answered %1 | %2").arg(buttonText, EventLog::oneLine(box->text())));
            button->click();
            return;
        }
    }
    fail(QStringLiteral("No such button"), buttonText);
}

void GuiCommands::describeBox()
{
    auto *const box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box)
        return fail(QStringLiteral("No box"), QString());
    QStringList buttons;
    for (QAbstractButton *button : box->buttons())
        buttons << button->text().remove(QLatin1Char('&'));
    m_log.print(QStringLiteral("box %1 | %2 | %3 | %4 | %5")
                    .arg(EventLog::oneLine(box->windowTitle()), QString::number(int(box->icon())),
                         EventLog::oneLine(box->text()), EventLog::oneLine(box->informativeText()),
                         buttons.join(QStringLiteral(", "))));
}

void GuiCommands::type(const QString &name, const QString &text)
{
    auto *const widget = qobject_cast<QWidget *>(find(name));
    if (!widget)
        return fail(QStringLiteral("No such widget"), name);
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        edit->clear();
    widget->setFocus();
    QTest::keyClicks(widget, text);
}

void GuiCommands::choose(const QString &name, const QString &text)
{
    QObject *const target = find(name);
    if (auto *list = qobject_cast<QListWidget *>(target))
        return chooseRow(*list, text);
    auto *const box = qobject_cast<QComboBox *>(target);
    if (!box)
        return fail(QStringLiteral("No such choice"), name);
    const int index = box->findText(text, Qt::MatchStartsWith);
    if (index < 0)
        return fail(QStringLiteral("No such entry"), name + QLatin1Char(' ') + text);
    // As a pick from the list: the widget hears both signals.
    box->setCurrentIndex(index);
    emit box->activated(index);
    // The text form is the one the forms' named slots listen to.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    emit box->activated(box->itemText(index));
    QT_WARNING_POP
}

void GuiCommands::chooseRow(QListWidget &list, const QString &text)
{
    const QList<QListWidgetItem *> rows = list.findItems(text, Qt::MatchStartsWith);
    if (rows.isEmpty())
        return fail(QStringLiteral("No such entry"), list.objectName() + QLatin1Char(' ') + text);
    // A click where the row is, as the user's: the list answers clicks, not selections.
    list.scrollToItem(rows.first());
    const QRect row = list.visualItemRect(rows.first());
    if (!list.isVisible() || !list.viewport()->rect().intersects(row))
        return fail(QStringLiteral("Not shown"), list.objectName() + QLatin1Char(' ') + text);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
}

void GuiCommands::read(const QString &name)
{
    QObject *const target = find(name);
    QString text;
    if (auto *label = qobject_cast<QLabel *>(target))
        text = label->text();
    else if (auto *edit = qobject_cast<QLineEdit *>(target))
        text = edit->text();
    else if (auto *button = qobject_cast<QAbstractButton *>(target))
        text = button->text();
    else
        return fail(QStringLiteral("No text"), name);
    m_log.print(QStringLiteral("text %1 | %2").arg(name, EventLog::oneLine(text)));
}

void GuiCommands::shot(const QString &file, bool wholeScreen)
{
    QPixmap picture;
    if (wholeScreen) {
        if (QScreen *screen = QGuiApplication::primaryScreen())
            picture = screen->grabWindow(0);
    } else {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<QMainWindow *>(widget) && widget->isVisible()) {
                picture = widget->grab();
                break;
            }
        }
    }
    if (picture.isNull() || !picture.save(file, "PNG"))
        return fail(QStringLiteral("No picture"), file);
    m_log.print(QStringLiteral("shot ") + file);
}

void GuiCommands::quit()
{
    if (auto *action = qobject_cast<QAction *>(find(QStringLiteral("actionQuit"))))
        action->trigger();
    else
        m_runnable.onExitApplication();
}

QObject *GuiCommands::find(const QString &name)
{
    // "loginWidget/username": the names of one page repeat on another.
    const QStringList path = name.split(QLatin1Char('/'));
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        QObject *found = widget;
        for (const QString &step : path) {
            found = found->objectName() == step ? found : found->findChild<QObject *>(step);
            if (!found)
                break;
        }
        if (found)
            return found;
    }
    return nullptr;
}

void GuiCommands::fail(const QString &what, const QString &detail) const
{
    m_log.print(QStringLiteral("error %1 | %2").arg(what, detail));
}
