#include "gui/MessageBoxFactory.h"

#include "gui/EventMessageCloser.h"
#include "gui/GuiLogging.h"
#include "gui/MessageBoxBasic.h"
#include "gui/StyleSheet.h"
#include "gui/VyxMessageBox.h"
#include "gui/settings/LogDialog.h"

#include <QCheckBox>
#include <QDebug>
#include <QLabel>
#include <QPushButton>

QSharedPointer<MessageBoxFactory> MessageBoxFactory::instance;

namespace {
// An empty callback means there is nothing to do for that answer; calling it
// would throw out of the event loop.
void runIfSet(const std::function<void()> &callback)
{
    if (callback)
        callback();
}
} // namespace

const QString MessageBoxFactory::showLogButtonText = QStringLiteral("Show debugging log");

void MessageBoxFactory::setInstance(const QSharedPointer<MessageBoxFactory> &factory)
{
    instance = factory;
}

MessageBoxFactory *MessageBoxFactory::getInstance()
{
    if (!instance) {
        qCDebug(lcGui) << "Warning, MessageBoxStyle not set: use MessageBoxBasic";
        instance = QSharedPointer<MessageBoxBasic>::create();
    }
    return instance.data();
}

int MessageBoxFactory::runModal(QDialog &dialog)
{
    return dialog.exec();
}

void MessageBoxFactory::loadStyleSheet()
{
    m_styleSheet = StyleSheet::fromResource(QStringLiteral(":/resources/mainwindow.qss"));
}

QSharedPointer<QMessageBox> MessageBoxFactory::getMessageBox(QWidget *parent, const QString &text,
                                                             QMessageBox::StandardButtons buttons, iconType icon,
                                                             const QString &informativeText, const QString &title,
                                                             QMessageBox::StandardButton closeResult, quint64 eventId,
                                                             EventMessageCloser *closer)
{
    QMessageBox *raw =
        closeResult != QMessageBox::NoButton ? new VyxMessageBox(parent, closeResult) : new QMessageBox(parent);
    QSharedPointer<QMessageBox> box(raw, &QObject::deleteLater);
    closer->registerMessageBox(eventId, box);
    if (!parent)
        loadStyleSheet();
    applyStyle(box);
    applyIcon(box, icon);
    if (!title.isEmpty())
        box->setWindowTitle(title);
    setPlainTexts(*box, text, informativeText);
    box->setStandardButtons(buttons);
    return box;
}

// Box texts also come from the backend, the engines and servers (errors,
// fatal engine messages, program output), so none is ever taken as rich text:
// a text that looks like HTML shows as written and carries no links.
void MessageBoxFactory::setPlainTexts(QMessageBox &box, const QString &text, const QString &informativeText)
{
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    if (informativeText.isEmpty())
        return;
    box.setInformativeText(informativeText);
    // QMessageBox offers no format for this label; it is found by the name Qt gives it.
    if (auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel"))) {
        label->setTextFormat(Qt::PlainText);
        giveReadableWidth(*label);
    }
}

// QMessageBox sizes itself to the main text and wraps the explanation into
// that width: a short question over a long explanation made a narrow column
// of many lines. The explanation gets its own width, up to a readable measure.
void MessageBoxFactory::giveReadableWidth(QLabel &informativeLabel)
{
    const QFontMetrics metrics = informativeLabel.fontMetrics();
    const int measure = READABLE_MEASURE_IN_CHARACTERS * metrics.averageCharWidth();
    int widest = 0;
    for (const QString &line : informativeLabel.text().split(QLatin1Char('\n')))
        widest = qMax(widest, metrics.horizontalAdvance(line));
    informativeLabel.setMinimumWidth(qMin(widest, measure));
}

QSharedPointer<QMessageBox> MessageBoxFactory::getMessageBoxWithCheckBox(
    QWidget *parent, const QString &text, const QString &checkBoxText, QMessageBox::StandardButtons buttons,
    iconType icon, const QString &informativeText, const QString &title, QMessageBox::StandardButton closeResult,
    quint64 eventId, EventMessageCloser *closer)
{
    QSharedPointer<QMessageBox> box =
        getMessageBox(parent, text, buttons, icon, informativeText, title, closeResult, eventId, closer);
    box->setCheckBox(new QCheckBox(checkBoxText, box.data()));
    return box;
}

int MessageBoxFactory::execMessageBox(QWidget *parent, const QString &text, QMessageBox::StandardButtons buttons,
                                      iconType icon, const QString &informativeText, const QString &title,
                                      QMessageBox::StandardButton closeResult, quint64 eventId,
                                      EventMessageCloser *closer)
{
    const QSharedPointer<QMessageBox> box =
        getMessageBox(parent, text, buttons, icon, informativeText, title, closeResult, eventId, closer);
    return runModal(*box);
}

int MessageBoxFactory::execErrorMessageBox(QWidget *parent, const QString &text, const QString &informativeText,
                                           const QString &title, bool showLogButton, quint64 eventId,
                                           EventMessageCloser *closer)
{
    const QSharedPointer<QMessageBox> box = getMessageBox(parent, text, QMessageBox::Ok, Critical, informativeText,
                                                          title, QMessageBox::Ok, eventId, closer);
    QPushButton *logButton = showLogButton ? box->addButton(showLogButtonText, QMessageBox::AcceptRole) : nullptr;
    const int result = runModal(*box);
    if (logButton && box->clickedButton() == logButton) {
        LogDialog log(parent);
        runModal(log);
    }
    return result;
}

int MessageBoxFactory::execYesNoFamily(QWidget *parent, const QString &text, const QString *checkBoxText,
                                       QMessageBox::StandardButtons buttons, std::function<void()> &onYes,
                                       std::function<void()> &onNo, std::function<void()> *onChecked,
                                       QMessageBox::StandardButton closeResult, iconType icon,
                                       const QString &informativeText, const QString &title, quint64 eventId,
                                       EventMessageCloser *closer)
{
    const QSharedPointer<QMessageBox> box =
        checkBoxText ? getMessageBoxWithCheckBox(parent, text, *checkBoxText, buttons, icon, informativeText, title,
                                                 closeResult, eventId, closer)
                     : getMessageBox(parent, text, buttons, icon, informativeText, title, closeResult, eventId, closer);
    const int result = runModal(*box);
    if (result == QMessageBox::Yes)
        runIfSet(onYes);
    else if (result == QMessageBox::No)
        runIfSet(onNo);
    const bool cancelled = buttons.testFlag(QMessageBox::Cancel) && result == QMessageBox::Cancel;
    if (onChecked && !cancelled && box->checkBox()->isChecked())
        runIfSet(*onChecked);
    return result;
}

int MessageBoxFactory::execMessageBox_YesNo(QWidget *parent, const QString &text, std::function<void()> &onYes,
                                            std::function<void()> &onNo, QMessageBox::StandardButton closeResult,
                                            iconType icon, const QString &informativeText, const QString &title,
                                            quint64 eventId, EventMessageCloser *closer)
{
    return execYesNoFamily(parent, text, nullptr, QMessageBox::Yes | QMessageBox::No, onYes, onNo, nullptr, closeResult,
                           icon, informativeText, title, eventId, closer);
}

int MessageBoxFactory::execMessageBox_YesNoCancel(QWidget *parent, const QString &text, std::function<void()> &onYes,
                                                  std::function<void()> &onNo, QMessageBox::StandardButton closeResult,
                                                  iconType icon, const QString &informativeText, const QString &title,
                                                  quint64 eventId, EventMessageCloser *closer)
{
    return execYesNoFamily(parent, text, nullptr, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, onYes, onNo,
                           nullptr, closeResult, icon, informativeText, title, eventId, closer);
}

int MessageBoxFactory::execMessageBox_YesNo_withCheckbox(QWidget *parent, const QString &text,
                                                         const QString &checkBoxText, std::function<void()> &onYes,
                                                         std::function<void()> &onNo, std::function<void()> &onChecked,
                                                         QMessageBox::StandardButton closeResult, iconType icon,
                                                         const QString &informativeText, const QString &title,
                                                         quint64 eventId, EventMessageCloser *closer)
{
    return execYesNoFamily(parent, text, &checkBoxText, QMessageBox::Yes | QMessageBox::No, onYes, onNo, &onChecked,
                           closeResult, icon, informativeText, title, eventId, closer);
}

int MessageBoxFactory::execMessageBox_YesNoCancel_withCheckbox(
    QWidget *parent, const QString &text, const QString &checkBoxText, std::function<void()> &onYes,
    std::function<void()> &onNo, std::function<void()> &onChecked, QMessageBox::StandardButton closeResult,
    iconType icon, const QString &informativeText, const QString &title, quint64 eventId, EventMessageCloser *closer)
{
    return execYesNoFamily(parent, text, &checkBoxText, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, onYes,
                           onNo, &onChecked, closeResult, icon, informativeText, title, eventId, closer);
}
