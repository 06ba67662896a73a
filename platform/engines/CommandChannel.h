#pragma once

#include <mutex>
#include <string>

namespace engines {

// The engine's end of the client's two loopback command channels. cmd_fd carries
// progress lines and questions to the client and its answers back; cmd_fd_write
// carries the client's one-letter commands. Each channel opens with
// ">CHANNEL_SECRET:" and the run's secret, which tells the client that this
// is the engine it started.
class CommandChannel
{
public:
    CommandChannel(int commandPort, int commandWritePort, const std::string &secret);
    // The secret that the helper put in this engine's environment; empty without one.
    static std::string secretFromEnvironment();
    ~CommandChannel();
    CommandChannel(const CommandChannel &) = delete;
    CommandChannel &operator=(const CommandChannel &) = delete;

    int commandFd() const { return m_commandFd; }

    void sendLine(const std::string &line);
    // ">VPNINFO_PROGRESS " and the text, one line per line of the text.
    void sendProgress(const std::string &text);
    // The client's next non-empty answer on cmd_fd; empty at end of stream or
    // once cancelAnswers() was called.
    std::string readAnswer();
    // Ends a wait for an answer that will not come: the client has asked the
    // engine to stop. Safe to call from another thread.
    void cancelAnswers();
    // The next command letter on cmd_fd_write; 0 at end of stream.
    char readCommand();
    // Ends a wait for a command: readCommand() returns 0 from then on. Safe
    // to call from another thread.
    void endCommands();

private:
    static int connectTo(int port, const std::string &secret);
    static std::string readLine(int fd, int cancelFd, std::string &buffer, bool &closed);

    int m_commandFd = -1;
    int m_commandWriteFd = -1;
    int m_cancelPipe[2] = {-1, -1};
    std::mutex m_sendMutex;
    std::string m_answerBuffer;
    std::string m_commandBuffer;
    bool m_answersClosed = false;
    bool m_commandsClosed = false;
};

} // namespace engines
