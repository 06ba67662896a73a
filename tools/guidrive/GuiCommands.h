#pragma once

#include "StdinLines.h"

#include <QObject>

class EventLog;
class QListWidget;
class OrvalVPNRunnable;

// Plays the user of the real GUI for tests, demos and benchmarks: reads one
// command a line from standard input and acts on the widgets by object name.
//
//   click NAME        clicks a button (or any widget), triggers an action;
//                     NAME may be a path, "loginWidget/username"; a button
//                     must be shown and enabled
//   type NAME TEXT    types TEXT (everything after the name) into a widget
//   choose NAME TEXT  picks the first entry starting with TEXT in a drop-down list,
//                     or clicks the first such row of a list
//   read NAME         prints "text NAME | TEXT" of a label, field or button
//   shot FILE         saves a picture of the main window as PNG
//   screen FILE       saves a picture of the whole screen as PNG
//   answer TEXT       presses the button TEXT ("Yes") of the open question
//   box               prints "box TITLE | ICON | TEXT | INFORMATIVE TEXT | BUTTON, BUTTON"
//                     of the open message box, ICON the QMessageBox::Icon number
//   quit              File > Quit of the main window (the tray's Quit without one)
//
// End of input quits as well. It prints "window-shown" when a main window
// first appears, and "error ..." for a command it cannot carry out.
class GuiCommands : public QObject
{
    Q_OBJECT

public:
    GuiCommands(const EventLog &log, OrvalVPNRunnable &runnable);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onLine(const QString &line);
    void execute(const QString &line);
    void click(const QString &name);
    void answer(const QString &buttonText);
    void describeBox();
    void type(const QString &name, const QString &text);
    void choose(const QString &name, const QString &text);
    void chooseRow(QListWidget &list, const QString &text);
    void read(const QString &name);
    void shot(const QString &file, bool wholeScreen);
    void quit();
    // The first object of that name ("page/name" within a page) in any
    // top-level widget; null when none.
    static QObject *find(const QString &name);
    void fail(const QString &what, const QString &detail) const;

    const EventLog &m_log;
    OrvalVPNRunnable &m_runnable;
    StdinLines m_input;
    bool m_windowShown = false;
};
