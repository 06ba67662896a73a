#pragma once

class QAbstractSocket;

// The local command channels to the engines carry short lines, most of them
// waiting for an answer. Left to the defaults, Nagle's algorithm holds a line
// back until the previous one is acknowledged while the peer delays that
// acknowledgement: some 40 ms lost per exchange, several per connect. These
// sockets send at once and acknowledge at once.
class LowLatencySocket
{
public:
    // Once the socket is connected.
    static void tune(QAbstractSocket &socket);
    // The system leaves quick acknowledgement again on its own: after each read.
    static void acknowledgeAtOnce(QAbstractSocket &socket);
};
