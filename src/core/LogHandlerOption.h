#pragma once

#include <QMetaType>
#include <QString>

// Where log messages go. Exactly three process-wide instances exist; an
// option is always handled by reference to one of them.
class LogHandlerOption
{
public:
    virtual ~LogHandlerOption() = default;

    virtual QString toString() const = 0;

    static const LogHandlerOption &StdErrHandler();
    static const LogHandlerOption &FileHandler();
    static const LogHandlerOption &NullHandler();

    // Unknown text (the empty text of a fresh store included) means no logging.
    static const LogHandlerOption &fromString(const QString &text);

    bool operator==(const LogHandlerOption &other) const { return id == other.id; }
    bool operator!=(const LogHandlerOption &other) const { return !(*this == other); }

protected:
    explicit LogHandlerOption(int id)
        : id(id)
    {
    }

private:
    LogHandlerOption(const LogHandlerOption &) = delete;
    LogHandlerOption &operator=(const LogHandlerOption &) = delete;

    const int id;
};

class StdErrHandlerOption : public LogHandlerOption
{
public:
    static const StdErrHandlerOption INSTANCE;
    QString toString() const override;

private:
    StdErrHandlerOption()
        : LogHandlerOption(0)
    {
    }
};

class FileHandlerOption : public LogHandlerOption
{
public:
    static const FileHandlerOption INSTANCE;
    QString toString() const override;

private:
    FileHandlerOption()
        : LogHandlerOption(1)
    {
    }
};

class NullHandlerOption : public LogHandlerOption
{
public:
    static const NullHandlerOption INSTANCE;
    QString toString() const override;

private:
    NullHandlerOption()
        : LogHandlerOption(2)
    {
    }
};

// Item data of the option chooser holds pointers to the singletons.
Q_DECLARE_METATYPE(LogHandlerOption *)
Q_DECLARE_METATYPE(const LogHandlerOption *)
