#pragma once

#include "catalogue/AbstractException.h"

// A config.txt that is not "version*md5*url".
class CanNotParseConfigTxtException : public AbstractException
{
public:
    using AbstractException::AbstractException;
};
