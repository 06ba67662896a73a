#pragma once

#include "catalogue/AbstractException.h"

// A configuration archive that could not be installed.
class ConfigZipWriteException : public AbstractException
{
public:
    using AbstractException::AbstractException;
};
