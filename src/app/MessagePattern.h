#pragma once

// Every log record, whichever handler writes it, is the message text alone.
// Each area logs in a category of its own ("orval.backend", "orval.engine",
// ..., for QT_LOGGING_RULES), and Qt's default pattern would put it in front
// of every line. A QT_MESSAGE_PATTERN in the environment still wins, e.g.
// "%{category}: %{message}".
class MessagePattern
{
public:
    // Before the first message of the process.
    static void install();
};
