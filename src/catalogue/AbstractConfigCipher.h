#pragma once

#include <QString>

// What the catalogue says about one cipher set-up a site accepts.
class AbstractConfigCipher
{
public:
    virtual ~AbstractConfigCipher() = default;

    virtual bool isValid() const = 0;
    virtual QString getCipher() const = 0;
    virtual int getPort() const = 0;
    virtual QString getProtocol() const = 0;
    virtual QString getAuth() const = 0;
    virtual QString getAuthName() const = 0;
    virtual QString getTlskey() const = 0;
    virtual QString getDisplayName() const = 0;
    virtual bool isDefault() const = 0;
    virtual bool isHardCodedDefault() const = 0;
    virtual QString getScrambleMethod() const = 0;
    virtual QString getScrambleMask() const = 0;
    virtual bool isStealth() const = 0;

protected:
    AbstractConfigCipher() = default;
    AbstractConfigCipher(const AbstractConfigCipher &) = default;
    AbstractConfigCipher &operator=(const AbstractConfigCipher &) = default;
};
