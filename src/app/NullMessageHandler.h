#pragma once

#include "app/AbstractMessageHandler.h"

// Swallows every log message and switches every logging category off: the
// "None" log option.
class NullMessageHandler : public AbstractMessageHandler
{
public:
    NullMessageHandler();
    ~NullMessageHandler() override;

    NullMessageHandler(const NullMessageHandler &) = delete;
    NullMessageHandler &operator=(const NullMessageHandler &) = delete;
};
