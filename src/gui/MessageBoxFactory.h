#pragma once

#include <QIcon>
#include <QMessageBox>
#include <QSharedPointer>
#include <QString>

#include <functional>

class EventMessageCloser;
class QDialog;
class QLabel;

// The process-wide maker of every message box: one look for all boxes, ready
// button sets with callbacks, and boxes that the backend can close by event id.
class MessageBoxFactory
{
public:
    enum iconType { NoIcon = 0, Information = 1, Question = 2, Warning = 3, Critical = 4 };

    virtual ~MessageBoxFactory() = default;

    static void setInstance(const QSharedPointer<MessageBoxFactory> &factory);
    static MessageBoxFactory *getInstance();

    QSharedPointer<QMessageBox> getMessageBox(QWidget *parent, const QString &text,
                                              QMessageBox::StandardButtons buttons, iconType icon,
                                              const QString &informativeText, const QString &title,
                                              QMessageBox::StandardButton closeResult, quint64 eventId,
                                              EventMessageCloser *closer);
    QSharedPointer<QMessageBox> getMessageBoxWithCheckBox(QWidget *parent, const QString &text,
                                                          const QString &checkBoxText,
                                                          QMessageBox::StandardButtons buttons, iconType icon,
                                                          const QString &informativeText, const QString &title,
                                                          QMessageBox::StandardButton closeResult, quint64 eventId,
                                                          EventMessageCloser *closer);
    int execMessageBox(QWidget *parent, const QString &text, QMessageBox::StandardButtons buttons, iconType icon,
                       const QString &informativeText, const QString &title, QMessageBox::StandardButton closeResult,
                       quint64 eventId, EventMessageCloser *closer);
    int execErrorMessageBox(QWidget *parent, const QString &text, const QString &informativeText, const QString &title,
                            bool showLogButton, quint64 eventId, EventMessageCloser *closer);
    int execMessageBox_YesNo(QWidget *parent, const QString &text, std::function<void()> &onYes,
                             std::function<void()> &onNo, QMessageBox::StandardButton closeResult, iconType icon,
                             const QString &informativeText, const QString &title, quint64 eventId,
                             EventMessageCloser *closer);
    int execMessageBox_YesNoCancel(QWidget *parent, const QString &text, std::function<void()> &onYes,
                                   std::function<void()> &onNo, QMessageBox::StandardButton closeResult, iconType icon,
                                   const QString &informativeText, const QString &title, quint64 eventId,
                                   EventMessageCloser *closer);
    int execMessageBox_YesNo_withCheckbox(QWidget *parent, const QString &text, const QString &checkBoxText,
                                          std::function<void()> &onYes, std::function<void()> &onNo,
                                          std::function<void()> &onChecked, QMessageBox::StandardButton closeResult,
                                          iconType icon, const QString &informativeText, const QString &title,
                                          quint64 eventId, EventMessageCloser *closer);
    int execMessageBox_YesNoCancel_withCheckbox(QWidget *parent, const QString &text, const QString &checkBoxText,
                                                std::function<void()> &onYes, std::function<void()> &onNo,
                                                std::function<void()> &onChecked,
                                                QMessageBox::StandardButton closeResult, iconType icon,
                                                const QString &informativeText, const QString &title, quint64 eventId,
                                                EventMessageCloser *closer);

    virtual void applyStyle(QSharedPointer<QMessageBox> &box) = 0;
    virtual void applyIcon(QSharedPointer<QMessageBox> &box, iconType icon) = 0;

    static const QString showLogButtonText;

protected:
    // Runs a box or dialog modally. Tests install a factory that answers here.
    virtual int runModal(QDialog &dialog);

    QString m_title;
    QIcon m_icon;
    QString m_styleSheet;

private:
    int execYesNoFamily(QWidget *parent, const QString &text, const QString *checkBoxText,
                        QMessageBox::StandardButtons buttons, std::function<void()> &onYes, std::function<void()> &onNo,
                        std::function<void()> *onChecked, QMessageBox::StandardButton closeResult, iconType icon,
                        const QString &informativeText, const QString &title, quint64 eventId,
                        EventMessageCloser *closer);
    void loadStyleSheet();
    static void setPlainTexts(QMessageBox &box, const QString &text, const QString &informativeText);
    static void giveReadableWidth(QLabel &informativeLabel);
    static constexpr int READABLE_MEASURE_IN_CHARACTERS = 60;

    static QSharedPointer<MessageBoxFactory> instance;
};
