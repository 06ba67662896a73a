#pragma once
class IpPoolInterface;
class Remote;

// The address handlers' answer to a remote query: the pools' current choice.
namespace RemoteAnswer {
// Without a valid address the remote is left for other handlers to answer.
void answerFromPools(const IpPoolInterface &pools, Remote &remote);
} // namespace RemoteAnswer
