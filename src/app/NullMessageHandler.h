#pragma once

#include "app/AbstractMessageHandler.h"

// Swallows every log message: the "None" log option.
class NullMessageHandler : public AbstractMessageHandler
{
public:
    NullMessageHandler();
    ~NullMessageHandler() override;

    NullMessageHandler(const NullMessageHandler &) = delete;
    NullMessageHandler &operator=(const NullMessageHandler &) = delete;
};
